// Removes fonts, unregisters COM servers and type libraries, removes MSI
// packages and driver INF files, and unpins taskbar links.
#include "uninstall/win32/component_undo_win32.h"

#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>

#include "actions/component_texts.h"
#include "core/format.h"
#include "core/program_narrow.h"
#include "core/text.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "uninstall/removal_rules.h"
#include "uninstall/uninstall_data_reader.h"
#include "uninstall/uninstaller_texts.h"
#include "uninstall/win32/file_removal_win32.h"
#include "variables/win32/os_version_win32.h"

namespace palisade {
namespace {

std::u16string FontsFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_FONTS, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return FromWide(folder);
}

void RemoveOneFont(const FontRecord& font, const std::u16string& fontsFolder) {
    bool windows9x = CurrentOsVersion().platformId == kPlatformWindows9x;
    HKEY raw = nullptr;
    if (!font.face.empty() && ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, ToWide(FontsRegistryKey(windows9x)).c_str(), 0,
                                              KEY_SET_VALUE, &raw) == ERROR_SUCCESS) {
        UniqueHkey key(raw);
        ::RegDeleteValueW(key.get(), ToWide(font.face).c_str());
    }
    bool bare = font.file.find(u'\\') == std::u16string::npos;
    std::u16string path = bare ? fontsFolder + u"\\" + font.file : font.file;
    if (!::RemoveFontResourceW(ToWide(font.file).c_str())) ::RemoveFontResourceW(ToWide(path).c_str());
    if ((bare && !fontsFolder.empty()) || IsRemovablePath(path)) {
        DWORD error = 0;
        RemoveFileNowOrAtRestart(path, error);
    }
}

// Runs a command line hidden and waits; the exit code, or -1 when it did not start.
long RunHiddenAndWait(std::u16string commandLine, const std::u16string& folder) {
    std::wstring line = ToWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : ToWide(folder).c_str(), &startup, &started)) {
        return -1;
    }
    UniqueHandle process(started.hProcess);
    ::CloseHandle(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return long(code);
}

std::u16string SystemFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return length != 0 && length <= MAX_PATH ? FromWide(folder) : std::u16string();
}

using MsiSetInternalUiFunction = int(WINAPI*)(int level, HWND* owner);
using MsiInstallProductFunction = UINT(WINAPI*)(const wchar_t* package, const wchar_t* commandLine);
using SetupUninstallOemInfFunction = BOOL(WINAPI*)(const wchar_t* infFileName, DWORD flags, void* reserved);
constexpr DWORD kForceDelete = 0x1;  // SUOI_FORCEDELETE

template <typename Function>
Function LibraryFunction(const wchar_t* library, const char* name) {
    HMODULE module = ::LoadLibraryW(library);  // kept for the rest of the process
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

}  // namespace

void RemoveFonts(std::u16string_view productFonts, std::uint32_t uninstallFonts, bool automaticOrSilent,
                 const FontQuestion& ask, InstallLog& log) {
    std::vector<FontRecord> fonts = ParseProductFonts(productFonts);
    if (fonts.empty()) return;
    std::u16string fontsFolder = FontsFolder();
    bool removedAny = false;
    for (const FontRecord& font : fonts) {
        FontDecision decision = DecideFontRemoval(uninstallFonts, automaticOrSilent);
        if (decision == FontDecision::Keep) continue;
        if (decision == FontDecision::Ask && !ask(font.face.empty() ? font.file : font.face)) continue;
        RemoveOneFont(font, fontsFolder);
        log.runLog.AppendWidePieces({u"Removed font ", font.face, u" (", font.file, u")\r\n"});
        removedAny = true;
    }
    if (removedAny) ::SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
}

void UnregisterComServer(std::u16string_view path, InstallLog& log) {
    std::u16string system = SystemFolder();
    std::u16string regsvr32 = system.empty() ? u"regsvr32.exe" : system + u"\\regsvr32.exe";
    long code = RunHiddenAndWait(u"\"" + regsvr32 + u"\" /s /u \"" + std::u16string(path) + u"\"", system);
    if (code != 0) {
        if (HMODULE module = ::LoadLibraryExW(ToWide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
            using Unregister = HRESULT(WINAPI*)();
            auto call = reinterpret_cast<Unregister>(reinterpret_cast<void*>(::GetProcAddress(module, "DllUnregisterServer")));
            HRESULT result = E_FAIL;
            GuardedResult guarded = call ? RunGuarded([&] { result = call(); }) : GuardedResult{};
            if (call && !guarded.faulted && SUCCEEDED(result)) code = 0;
            if (guarded.faulted) log.runLog.AppendWidePieces({u"Crashed while unregistering COM file ", path, u"\r\n"});
            ::FreeLibrary(module);
        }
    }
    log.runLog.AppendWide(Format(u"Unregistering COM File \"%s\"...%s\r\n", {path, code == 0 ? u"OK" : u"FAILED"}));
}

void UnregisterTypeLibrary(std::u16string_view path, InstallLog& log) {
    HRESULT result = E_FAIL;
    std::wstring wide = ToWide(path);
    GuardedResult guarded = RunGuarded([&] {
        ITypeLib* library = nullptr;
        result = ::LoadTypeLibEx(wide.c_str(), REGKIND_NONE, &library);
        if (FAILED(result)) return;
        TLIBATTR* attributes = nullptr;
        result = library->GetLibAttr(&attributes);
        if (SUCCEEDED(result)) {
            result = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                         attributes->lcid, attributes->syskind);
            library->ReleaseTLibAttr(attributes);
        }
        library->Release();
    });
    const char16_t* outcome = guarded.faulted ? u"CRASHED!" : SUCCEEDED(result) ? u"OK" : u"FAILED";
    log.runLog.AppendWide(Format(u"Unregistering Type Library \"%s\"...%s\r\n", {path, outcome}));
}

void RemoveMsiPackages(const std::vector<std::string>& lines, InstallLog& log) {
    if (lines.empty()) return;
    static auto setInternalUi = LibraryFunction<MsiSetInternalUiFunction>(L"MSI.DLL", "MsiSetInternalUI");
    static auto installProduct = LibraryFunction<MsiInstallProductFunction>(L"MSI.DLL", "MsiInstallProductW");
    for (const std::string& line : lines) {
        MsiRecord record = ParseMsiRecord(line);
        if (record.package.empty()) continue;
        UINT result = ERROR_CALL_NOT_IMPLEMENTED;
        if (setInternalUi && installProduct) {
            std::wstring package = ToWide(record.package);
            GuardedResult guarded = RunGuarded([&] {
                HWND owner = ::GetActiveWindow();
                setInternalUi(record.uiLevel, &owner);
                result = installProduct(package.c_str(), L"REMOVE=ALL REBOOT=R");
            });
            if (guarded.faulted) result = ERROR_INVALID_FUNCTION;
        }
        if (result != ERROR_SUCCESS && result != ERROR_SUCCESS_REBOOT_REQUIRED) {
            log.failures.Append(Format(kMsiRemovalFailedText, {record.package, int(result), SystemErrorText(result)}));
        }
    }
}

void RemoveDriverInfFiles(const std::vector<std::string>& lines,
                          const std::function<std::u16string(std::u16string_view)>& expand, InstallLog& log) {
    if (lines.empty()) return;
    static auto uninstallInf = LibraryFunction<SetupUninstallOemInfFunction>(L"Setupapi.dll", "SetupUninstallOEMInfW");
    if (!uninstallInf) {
        log.runLog.AppendNarrow("Cannot remove INF files...unable to link to SetupUninstallOEMInf()\r\n");
        return;
    }
    for (const std::string& line : lines) {
        std::u16string path = expand(DecodeProgramNarrow(line));
        std::size_t slash = path.find_last_of(u"\\/");
        std::wstring name = ToWide(slash == std::u16string::npos ? path : path.substr(slash + 1));
        if (name.empty()) continue;
        BOOL removed = FALSE;
        GuardedResult guarded = RunGuarded([&] {
            removed = uninstallInf(name.c_str(), 0, nullptr);
            // A plain call that reports success while the INF is still there
            // (some systems only delete when forced) is repeated forced: it
            // already said that no device holds the driver.
            if (removed && ::GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
                removed = uninstallInf(name.c_str(), kForceDelete, nullptr);
            }
        });
        const char16_t* outcome = guarded.faulted ? u"CRASHED!" : removed ? u"OK" : u"FAILED";
        log.runLog.AppendWide(Format(u"Removing driver \"%s\"...%s\r\n", {path, outcome}));
    }
}

void UnpinFromTaskbar(std::u16string_view link) {
    std::wstring wide = ToWide(link);
    RunGuarded([&] { ::ShellExecuteW(nullptr, L"taskbarunpin", wide.c_str(), nullptr, nullptr, SW_HIDE); });
}

}  // namespace palisade
