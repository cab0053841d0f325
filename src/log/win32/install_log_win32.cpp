// The Windows side of the installation log.
#include "log/win32/install_log_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>

#include "core/command_arguments.h"
#include "core/win32/debug_output.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/process.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {

namespace {

class DebuggerSink final : public RunLogSink {
public:
    void Write(std::u16string_view text) override { WriteDebugOutput(text); }
};

constexpr WORD kEnglishLanguage = 1033;

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

}  // namespace

void ConnectRunLogToDebugger(RunLog& log) {
    static DebuggerSink sink;
    log.SetSink(&sink);
}

ErrorTexts SystemErrorTexts(std::uint32_t code) {
    return ErrorTexts{SystemErrorText(code), SystemErrorText(code, kEnglishLanguage)};
}

void LogFailure(FailureList& list, std::u16string_view heading, std::u16string_view item, Win32Status error) {
    ErrorTexts texts = error.failed() ? SystemErrorTexts(error.code()) : ErrorTexts{};
    list.Append(FailureEntry(heading, item, error.code(), texts));
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
    // The log keeps the access of its folder: granting everyone more would
    // let any user rewrite what an administrator reads as the run's record.
    ClearProtectiveAttributes(path);
    return true;
}

void ViewInstallLog(const std::u16string& path) {
    std::wstring widePath = ToWide(path);
    auto opened = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", widePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened > 32) return;
    wchar_t program[MAX_PATH] = {};
    auto found = reinterpret_cast<INT_PTR>(::FindExecutableW(widePath.c_str(), nullptr, program));
    ProcessRequest viewer;
    viewer.program = found > 32 ? FromWide(program) : WindowsFolderPath() + u"\\notepad.exe";
    viewer.commandLine = QuoteArgument(path);
    if (found > 32 && StartProcess(viewer).ok()) return;
    viewer.program = WindowsFolderPath() + u"\\notepad.exe";
    (void)StartProcess(viewer);  // nothing more to try: the log stays where the message said
}

}  // namespace palisade
