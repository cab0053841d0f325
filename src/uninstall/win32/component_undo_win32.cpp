// Removes fonts, unregisters COM servers and type libraries, removes MSI
// packages and driver INF files, and unpins taskbar links.
#include "uninstall/win32/component_undo_win32.h"

#include <windows.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>

#include "actions/component_texts.h"
#include "actions/win32/com_server_win32.h"
#include "actions/win32/msi_library_win32.h"
#include "core/format.h"
#include "core/program_narrow.h"
#include "core/text.h"
#include "core/win32/com_ptr.h"
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
        RemoveFileNowOrAtRestart(path);
    }
}

constexpr DWORD kForceDelete = 0x1;  // SUOI_FORCEDELETE

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
    std::int32_t code = RunRegsvr32(path, true);
    if (code != 0) {
        ServerEntryCall call = CallServerRegistration(path, true);
        if (call.called && !call.faulted && SUCCEEDED(call.result)) code = 0;
        if (call.faulted) log.runLog.AppendWidePieces({u"Crashed while unregistering COM file ", path, u"\r\n"});
    }
    log.runLog.AppendWide(Format(u"Unregistering COM File \"%s\"...%s\r\n", {path, code == 0 ? u"OK" : u"FAILED"}));
}

void UnregisterTypeLibrary(std::u16string_view path, InstallLog& log) {
    HRESULT result = E_FAIL;
    std::wstring wide = ToWide(path);
    // Owned outside the guard, so that it is released even after a fault.
    ComPtr<ITypeLib> library;
    GuardedResult guarded = RunGuarded([&] {
        result = ::LoadTypeLibEx(wide.c_str(), REGKIND_NONE, library.Put());
        if (FAILED(result)) return;
        TLIBATTR* attributes = nullptr;
        result = library->GetLibAttr(&attributes);
        if (SUCCEEDED(result)) {
            result = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                         attributes->lcid, attributes->syskind);
            library->ReleaseTLibAttr(attributes);
        }
    });
    const char16_t* outcome = guarded.faulted ? u"CRASHED!" : SUCCEEDED(result) ? u"OK" : u"FAILED";
    log.runLog.AppendWide(Format(u"Unregistering Type Library \"%s\"...%s\r\n", {path, outcome}));
}

void RemoveMsiPackages(const std::vector<std::string>& lines, InstallLog& log) {
    if (lines.empty()) return;
    const MsiLibrary& msi = Msi();
    for (const std::string& line : lines) {
        MsiRecord record = ParseMsiRecord(line);
        if (record.package.empty()) continue;
        UINT result = ERROR_CALL_NOT_IMPLEMENTED;
        if (msi.Usable()) {
            std::wstring package = ToWide(record.package);
            GuardedResult guarded = RunGuarded([&] {
                static HWND owner = nullptr;  // MSI keeps the pointer: it must outlive the call
                owner = ::GetActiveWindow();
                msi.setInternalUi(record.uiLevel, &owner);
                result = msi.installProduct(package.c_str(), L"REMOVE=ALL REBOOT=R");
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
    auto uninstallInf = SetupApi().uninstallOemInf;
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
