// The Windows side of the installation log.
#include "log/win32/install_log_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>

#include "core/win32/debug_output.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "startup/win32/process_state.h"

namespace palisade {

namespace {

class DebuggerSink final : public RunLogSink {
public:
    void Write(std::u16string_view text) override { WriteDebugOutput(text); }
};

constexpr WORD kEnglishLanguage = 1033;
constexpr int kFailureHeadingMessage = 31;

std::u16string ErrorTextIn(std::uint32_t code, WORD language) {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (length != 0 && buffer != nullptr) text = FromWide(std::wstring_view(buffer, length));
    if (buffer != nullptr) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
    return text;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = DWORD(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReadAll(HANDLE file, std::string& content) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) return false;
    content.resize(std::size_t(size.QuadPart));
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD got = 0;
        if (!::ReadFile(file, &content[done], DWORD(content.size() - done), &got, nullptr) || got == 0) break;
        done += got;
    }
    content.resize(done);
    return true;
}

bool SeekTo(HANDLE file, LONGLONG offset, DWORD method) {
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    return ::SetFilePointerEx(file, distance, nullptr, method) != 0;
}

// An old log written in Windows-1252 becomes UTF-8 with a byte-order mark
// before anything is added. Returns whether the file holds nothing.
bool ConvertLegacyContent(HANDLE file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return false;
    if (size.QuadPart == 0) return true;
    char start[3] = {};
    DWORD got = 0;
    if (::ReadFile(file, start, sizeof(start), &got, nullptr) && StartsWithByteOrderMark(std::string_view(start, got))) {
        return false;
    }
    std::string existing;
    if (!SeekTo(file, 0, FILE_BEGIN) || !ReadAll(file, existing)) return false;
    if (std::optional<std::string> converted = ConvertLegacyLog(existing)) {
        if (SeekTo(file, 0, FILE_BEGIN) && WriteAll(file, *converted)) ::SetEndOfFile(file);
    }
    return false;
}

// Adds an access-allowed entry for the world identity to the file's DACL.
void GrantEveryoneFullAccess(const std::u16string& path) {
    BYTE sidBuffer[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(sidBuffer);
    if (!::CreateWellKnownSid(WinWorldSid, nullptr, sidBuffer, &sidSize)) return;
    std::wstring widePath = ToWide(path);
    PACL oldAcl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(widePath.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                &oldAcl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return;
    }
    EXPLICIT_ACCESS_W access{};
    access.grfAccessPermissions = GENERIC_ALL;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(sidBuffer);
    PACL newAcl = nullptr;
    if (::SetEntriesInAclW(1, &access, oldAcl, &newAcl) == ERROR_SUCCESS) {
        ::SetNamedSecurityInfoW(&widePath[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, newAcl,
                                nullptr);
        ::LocalFree(newAcl);
    }
    ::LocalFree(descriptor);
}

void ClearProtectiveAttributes(const std::u16string& path) {
    std::wstring widePath = ToWide(path);
    DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    DWORD cleared = attributes & ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (cleared == 0) cleared = FILE_ATTRIBUTE_NORMAL;
    if (cleared != attributes) ::SetFileAttributesW(widePath.c_str(), cleared);
}

bool StartCommandLine(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

}  // namespace

void ConnectRunLogToDebugger(RunLog& log) {
    static DebuggerSink sink;
    log.SetSink(&sink);
}

ErrorTexts SystemErrorTexts(std::uint32_t code) {
    return ErrorTexts{ErrorTextIn(code, 0), ErrorTextIn(code, kEnglishLanguage)};
}

void LogFailure(FailureList& list, std::u16string_view item) {
    DWORD lastError = ::GetLastError();
    InstallerProcess& process = Process();
    std::u16string heading = process.message ? process.message(kFailureHeadingMessage) : std::u16string();
    ErrorTexts texts = lastError != 0 ? SystemErrorTexts(lastError) : ErrorTexts{};
    list.Append(FailureEntry(heading, item, lastError, texts));
}

LogDateTime CurrentLocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LogDateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::u16string InstallLogPath(std::u16string_view uninstallDataFolder) {
    std::u16string path(uninstallDataFolder);
    if (!path.empty() && path.back() != u'\\') path += u'\\';
    return path + kInstallLogFileName;
}

bool WriteInstallLogFile(const std::u16string& path, const InstallLogSection& section) {
    {
        UniqueFileHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        bool fileEmpty = ConvertLegacyContent(file.get());
        if (SeekTo(file.get(), 0, FILE_END)) WriteAll(file.get(), InstallLogSectionBytes(fileEmpty, section));
    }
    ClearProtectiveAttributes(path);
    GrantEveryoneFullAccess(path);
    return true;
}

void ViewInstallLog(const std::u16string& path) {
    std::wstring widePath = ToWide(path);
    auto opened = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", widePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened > 32) return;
    wchar_t program[MAX_PATH] = {};
    auto found = reinterpret_cast<INT_PTR>(::FindExecutableW(widePath.c_str(), nullptr, program));
    if (found > 32 && StartCommandLine(L"\"" + std::wstring(program) + L"\" \"" + widePath + L"\"")) return;
    StartCommandLine(L"notepad.exe \"" + widePath + L"\"");
}

}  // namespace palisade
