// Writes and starts delunins.bat.
#include "uninstall/win32/self_removal_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "uninstall/self_removal_script.h"
#include "variables/batch_text.h"
#include "variables/win32/run_batch_win32.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade {
namespace {

std::u16string OwnPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    while (true) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length < buffer.size()) return FromWide(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string ShortPathOf(const std::u16string& path) {
    std::wstring longPath = ToWide(path);
    DWORD needed = ::GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring buffer(needed, L'\0');
    DWORD length = ::GetShortPathNameW(longPath.c_str(), buffer.data(), needed);
    return length != 0 && length < needed ? FromWide(std::wstring_view(buffer.data(), length)) : path;
}

bool WriteScript(const std::u16string& path, const std::string& bytes) {
    UniqueFileHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

void StartHidden(const std::u16string& interpreter, const std::u16string& script) {
    std::wstring commandLine = ToWide(u"\"" + interpreter + u"\" /c " + ShortPathOf(script));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                         &startup, &started)) {
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        return;
    }
    ::ShellExecuteW(nullptr, L"open", ToWide(script).c_str(), nullptr, nullptr, SW_HIDE);
}

}  // namespace

void WriteSelfRemovalScript(std::u16string_view installFolder, std::u16string_view uninstallSubdir) {
    Win32SystemFacts& facts = ProcessSystemFacts();
    std::u16string temp = facts.TempPath();
    if (!temp.empty() && temp.back() != u'\\') temp += u'\\';
    SelfRemovalPaths paths;
    paths.uninstaller = OwnPath();
    paths.installFolder = std::u16string(installFolder);
    paths.uninstallSubdir = std::u16string(uninstallSubdir);
    paths.script = temp + kSelfRemovalScriptName;

    const OsVersionInfo& os = facts.OsVersion();
    bool utf8 = SystemTakesUtf8Batches(os.platformId, os.majorVersion, os.minorVersion);
    if (!WriteScript(paths.script, SelfRemovalScriptBytes(paths, utf8))) return;

    BatchContext batch;
    batch.osPlatformId = os.platformId;
    batch.osMajor = os.majorVersion;
    batch.osMinor = os.minorVersion;
    batch.expand = [&facts](std::u16string_view text) {
        return text == u"%SystemDir%" ? facts.SystemFolder() : std::u16string(text);
    };
    StartHidden(FindCommandInterpreter(batch), paths.script);
}

}  // namespace palisade
