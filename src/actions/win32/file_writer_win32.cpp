// Writing one installed file, and the questions the overwrite rules ask about
// the file already at a destination.
#include "actions/win32/file_writer_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "actions/file_destination.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "core/format.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/win32/install_log_win32.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

constexpr int kAttempts = 3;
constexpr DWORD kRetryPauseMs = 50;
constexpr DWORD kProtectiveAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// Read-only, hidden, system, archive, temporary, offline: taken from the entry.
constexpr DWORD kEntryAttributeMask = 0x1127;
constexpr int kFailureHeadingMessage = 31;

enum class Attempt { Written, Failed, Mismatch };

// Creates or truncates `path` and writes all of `data` in one call.
DWORD WriteOnce(const std::wstring& path, ByteView data) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (!file) return ::GetLastError();
    DWORD written = 0;
    if (!data.empty() && (!::WriteFile(file.get(), data.data, DWORD(data.size), &written, nullptr) ||
                          written != data.size)) {
        DWORD error = ::GetLastError();
        return error != 0 ? error : DWORD(ERROR_WRITE_FAULT);
    }
    if (!::CloseHandle(file.release())) return ::GetLastError();
    return 0;
}

bool ReadsBackEqual(const std::wstring& path, ByteView data) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || std::uint64_t(size.QuadPart) != data.size) return false;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (std::size_t done = 0; done < data.size;) {
        DWORD want = DWORD(std::min<std::size_t>(buffer.size(), data.size - done));
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), want, &got, nullptr) || got == 0) return false;
        if (std::memcmp(buffer.data(), data.data + done, got) != 0) return false;
        done += got;
    }
    return true;
}

void ClearProtectiveAttributes(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kProtectiveAttributes) != 0) {
        ::SetFileAttributesW(path.c_str(), attributes & ~kProtectiveAttributes);
    }
}

// The destination's drive letter when its drive is not present.
std::optional<char16_t> MissingDrive(std::u16string_view path) {
    if (path.size() < 2 || path[1] != u':') return std::nullopt;
    wchar_t root[] = {wchar_t(path[0]), L':', L'\\', 0};
    if (::GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR) return std::nullopt;
    return path[0];
}

// Steps after the third failed attempt: the failure text, and the hand-over
// to the restart replacement for a file that is in use.
WriteOutcome ReportWriteFailure(const WriteRequest& request, DWORD error, InstallContext& context) {
    std::u16string text = u"\r\n" + context.Message(kFailureHeadingMessage) + u" " + request.destination + u"\r\n";
    if (std::optional<char16_t> drive = MissingDrive(request.destination)) {
        text += Format(u"Drive %c: is not present.\r\n", {int(*drive)});
        context.log.failures.Append(text);
        return {};
    }
    std::u16string reason = SystemErrorText(error);
    if (!reason.empty()) text += reason + u"\r\n\r\n";
    bool mayReplace = request.existedBefore || context.Flag1(Flags1::kReplaceNewFilesAtRestart);
    if (mayReplace && error != ERROR_INVALID_NAME) {
        WriteOutcome outcome;
        outcome.deferred = ReplaceFileAtReboot(request.destination, request.data, request.timeStamp,
                                               std::move(text), context);
        return outcome;
    }
    context.log.failures.Append(text);
    return {};
}

void ApplyAttributes(const std::wstring& path, std::int32_t attributes) {
    if (attributes == -1) return;
    DWORD current = ::GetFileAttributesW(path.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) return;
    DWORD wanted = (DWORD(attributes) & kEntryAttributeMask) | (current & ~kEntryAttributeMask);
    ::SetFileAttributesW(path.c_str(), wanted);
}

}  // namespace

// Shared with the restart replacement, which stamps its temporary file the same way.
bool ApplyTimeStamp(std::u16string_view path, const FileTimeStamp& stamp) {
    if (!stamp.IsComplete()) return true;
    SYSTEMTIME time{};
    time.wYear = WORD(stamp.year);
    time.wMonth = WORD(stamp.month);
    time.wDay = WORD(stamp.day);
    time.wHour = WORD(stamp.hour);
    time.wMinute = WORD(stamp.minute);
    time.wSecond = WORD(stamp.second);
    FILETIME fileTime{};
    if (!::SystemTimeToFileTime(&time, &fileTime)) return false;
    UniqueHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::SetFileTime(file.get(), &fileTime, nullptr, &fileTime);
}

WriteOutcome WriteInstalledFile(const WriteRequest& request, InstallContext& context) {
    std::wstring path = ToWide(request.destination);
    bool verify = context.Flag1(Flags1::kVerifyWrittenFiles);
    DWORD error = 0;
    Attempt last = Attempt::Failed;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0 && last == Attempt::Failed) ::Sleep(kRetryPauseMs);
        error = WriteOnce(path, request.data);
        if (error == 0) {
            last = !verify || ReadsBackEqual(path, request.data) ? Attempt::Written : Attempt::Mismatch;
            if (last == Attempt::Written) break;
            continue;
        }
        last = Attempt::Failed;
        if (attempt == 0) {
            if (error == ERROR_PATH_NOT_FOUND) CreateFolderPath(FolderOf(request.destination));
            if (context.Flag1(Flags1::kClearAttributesOnRetry)) ClearProtectiveAttributes(path);
        }
    }
    if (last == Attempt::Mismatch) {
        ::SetLastError(0);  // the data differs; no system error to show
        LogFailure(context.log.failures, request.destination);
        return {};
    }
    if (last == Attempt::Failed) return ReportWriteFailure(request, error, context);
    ApplyTimeStamp(request.destination, request.timeStamp);
    ApplyAttributes(path, request.attributes);
    WriteOutcome outcome;
    outcome.written = true;
    return outcome;
}

bool CreateFolderPath(std::u16string_view folder) {
    while (folder.size() > 3 && folder.back() == u'\\') folder.remove_suffix(1);
    if (folder.empty()) {
        ::SetLastError(ERROR_DIRECTORY);
        return false;
    }
    auto isFolder = [](std::u16string_view path) {
        DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    if (isFolder(folder)) return true;
    // The missing folders, innermost first; a drive root is never made.
    std::vector<std::u16string_view> missing = {folder};
    for (std::u16string_view parent = folder;;) {
        std::size_t slash = parent.rfind(u'\\');
        if (slash == std::u16string_view::npos) break;
        parent = parent.substr(0, slash);
        if (parent.size() < 4 || parent.find_first_not_of(u'\\') == std::u16string_view::npos) break;
        if (isFolder(parent)) break;
        missing.push_back(parent);
    }
    DWORD error = 0;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!::CreateDirectoryW(ToWide(*it).c_str(), nullptr)) error = ::GetLastError();
    }
    if (isFolder(folder)) return true;
    ::SetLastError(error != 0 ? error : DWORD(ERROR_PATH_NOT_FOUND));
    return false;
}

bool FileExists(std::u16string_view path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<FileTimeStamp> ReadFileTimeStamp(std::u16string_view path) {
    // A wildcard would let the search report some other file.
    if (path.find_first_of(u"*?") != std::u16string_view::npos) return std::nullopt;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(ToWide(path).c_str(), &found));
    SYSTEMTIME time{};
    if (!search || !::FileTimeToSystemTime(&found.ftLastWriteTime, &time)) return std::nullopt;
    FileTimeStamp stamp;
    stamp.year = time.wYear;
    stamp.month = time.wMonth;
    stamp.day = time.wDay;
    stamp.hour = time.wHour;
    stamp.minute = time.wMinute;
    stamp.second = time.wSecond;
    return stamp;
}

}  // namespace palisade
