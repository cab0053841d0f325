// Writing one installed file, and the questions the overwrite rules ask about
// the file already at a destination.
#include "actions/win32/file_writer_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "actions/file_destination.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/system_error.h"
#include "core/win32/system_time.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/win32/install_log_win32.h"
#include "payload/crc32.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

constexpr int kAttempts = 3;
constexpr DWORD kRetryPauseMs = 50;
// What a streamed item's data is read and written in.
constexpr std::size_t kStreamPiece = 1u << 20;
// Read-only, hidden, system, archive, temporary, offline: taken from the entry.
constexpr DWORD kEntryAttributeMask = 0x1127;

enum class Attempt { Written, Failed, Mismatch };

// Reads back the file at `path`, which must hold exactly `size` bytes, in
// pieces handed to `take` (bytes, length, offset); false when it cannot be
// read so or `take` refuses a piece.
template <typename Take>
bool ReadBack(const std::wstring& path, std::uint64_t size, Take&& take) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER actualSize{};
    if (!file || !::GetFileSizeEx(file.get(), &actualSize) || std::uint64_t(actualSize.QuadPart) != size) return false;
    std::vector<std::uint8_t> buffer(1 << 16);
    for (std::uint64_t done = 0; done < size;) {
        DWORD want = DWORD(std::min<std::uint64_t>(buffer.size(), size - done));
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), want, &got, nullptr) || got == 0) return false;
        if (!take(buffer.data(), std::size_t(got), done)) return false;
        done += got;
    }
    return true;
}

bool ReadsBackEqual(const std::wstring& path, ByteView data) {
    return ReadBack(path, data.size, [&data](const std::uint8_t* bytes, std::size_t length, std::uint64_t offset) {
        return std::memcmp(bytes, data.data + offset, length) == 0;
    });
}

// The file holds `size` bytes whose CRC-32 is `checksum`.
bool ReadsBackWithChecksum(const std::wstring& path, std::uint64_t size, std::uint32_t checksum) {
    std::uint32_t crc = 0;
    bool read = ReadBack(path, size, [&crc](const std::uint8_t* bytes, std::size_t length, std::uint64_t) {
        crc = Crc32(crc, bytes, length);
        return true;
    });
    return read && crc == checksum;
}

// The destination's drive letter when its drive is not present.
std::optional<char16_t> MissingDrive(std::u16string_view path) {
    if (path.size() < 2 || path[1] != u':') return std::nullopt;
    wchar_t root[] = {wchar_t(path[0]), L':', L'\\', 0};
    if (::GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR) return std::nullopt;
    return path[0];
}

// Steps after the third failed attempt: the failure text, and the hand-over
// to the restart replacement for a file that is in use, when `fill` can
// still give its contents.
WriteOutcome ReportWriteFailure(const WriteRequest& request, DWORD error, const TemporaryFiller* fill,
                                InstallContext& context) {
    std::u16string text = u"\r\n" + context.Message(Msg::kCouldNotInstall) + u" " + request.destination + u"\r\n";
    if (std::optional<char16_t> drive = MissingDrive(request.destination)) {
        text += Format(u"Drive %c: is not present.\r\n", {int(*drive)});
        context.log.failures.Append(text);
        return {};
    }
    std::u16string reason = SystemErrorText(error);
    if (!reason.empty()) text += reason + u"\r\n\r\n";
    bool mayReplace = request.existedBefore || context.Flag1(Flags1::kReplaceNewFilesAtRestart);
    if (mayReplace && error != ERROR_INVALID_NAME && fill) {
        WriteOutcome outcome;
        outcome.deferred = ReplaceFileAtReboot(request.destination, *fill, request.timeStamp, std::move(text), context);
        return outcome;
    }
    context.log.failures.Append(text);
    return {};
}

// The stamp as a file time; none when it is incomplete or not a valid time.
std::optional<FILETIME> StampFileTime(const FileTimeStamp& stamp) {
    if (!stamp.IsComplete()) return std::nullopt;
    return ToFileTime(stamp);
}

// The contents and time stamp, committed in one rename.
Win32Status WriteContents(const WriteRequest& request) {
    Win32Result<AtomicFileWriter> writer = AtomicFileWriter::Begin(request.destination);
    if (!writer.ok()) return writer.status();
    if (Win32Status appended = writer->Append(request.data); appended.failed()) return appended;
    // A time that cannot be set leaves the file as written, as it always has.
    if (std::optional<FILETIME> time = StampFileTime(request.timeStamp)) (void)writer->SetTimes(*time, *time);
    return writer->Commit(CommitMode::DurableWhenReplacing);
}

// Copies a streamed item's data from the walk into `writer`: the write's
// failure, or (in `fatalCode`) the walk's. Between pieces the windows are
// repainted but take no input: a Cancel answered in the middle would end the
// process with the temporary left beside the destination, unrecorded.
Win32Status FillFromWalk(ItemWalker& walk, AtomicFileWriter& writer, ProgressReporter& progress, int& fatalCode) {
    std::vector<std::uint8_t> piece(kStreamPiece);
    for (;;) {
        std::size_t produced = 0;
        fatalCode = walk.ReadData(piece.data(), piece.size(), produced);
        if (fatalCode != 0 || produced == 0) return {};
        if (Win32Status appended = writer.Append(ByteView(piece.data(), produced)); appended.failed()) return appended;
        progress.KeepPainted();
    }
}

// The first attempt's repairs, shown by the next attempt's error.
void RepairAfterFirstFailure(const WriteRequest& request, DWORD error, InstallContext& context) {
    if (error == ERROR_PATH_NOT_FOUND) (void)CreateFolderPath(FolderOf(request.destination));
    if (context.Flag1(Flags1::kClearAttributesOnRetry)) ClearProtectiveAttributes(request.destination);
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
    std::optional<FILETIME> fileTime = ToFileTime(stamp);
    if (!fileTime) return false;
    UniqueHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::SetFileTime(file.get(), &*fileTime, nullptr, &*fileTime);
}

namespace {

// A large item's data is read from the archive once, into the temporary
// beside the destination, so the attempts repeat only the step that failed:
// making the temporary, or putting it in the destination's place. A write
// that fails part-way is not tried again (the data is gone), and only a
// complete temporary can wait for a restart to replace a file in use.
WriteOutcome WriteStreamedFile(const WriteRequest& request, InstallContext& context) {
    std::wstring path = ToWide(request.destination);
    std::optional<AtomicFileWriter> writer;
    Win32Status status;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kRetryPauseMs);
        if (!writer) {
            Win32Result<AtomicFileWriter> begun = AtomicFileWriter::Begin(request.destination);
            status = begun.status();
            if (begun.ok()) {
                writer.emplace(std::move(*begun));
                WriteOutcome failedWalk;
                status = FillFromWalk(*request.streamedFrom, *writer, context.progress, failedWalk.fatalCode);
                if (failedWalk.fatalCode != 0) return failedWalk;
                if (status.failed()) {
                    writer.reset();
                    break;
                }
                if (std::optional<FILETIME> time = StampFileTime(request.timeStamp)) (void)writer->SetTimes(*time, *time);
            }
        }
        if (writer) {
            status = writer->Commit(CommitMode::DurableWhenReplacing);
            if (status.ok()) break;
        }
        if (attempt == 0) RepairAfterFirstFailure(request, status.code(), context);
    }
    if (status.failed()) {
        TemporaryFiller fill = [&writer](const std::u16string& temporary) { return writer->CommitTo(temporary); };
        return ReportWriteFailure(request, status.code(), writer ? &fill : nullptr, context);
    }
    if (context.Flag1(Flags1::kVerifyWrittenFiles) &&
        !ReadsBackWithChecksum(path, request.streamedSize, request.streamedFrom->DataChecksum())) {
        LogFailure(context.log.failures, context.Message(Msg::kCouldNotInstall), request.destination, {});
        return {};
    }
    ApplyAttributes(path, request.attributes);
    WriteOutcome outcome;
    outcome.written = true;
    return outcome;
}

}  // namespace

WriteOutcome WriteInstalledFile(const WriteRequest& request, InstallContext& context) {
    if (request.streamedFrom) return WriteStreamedFile(request, context);
    std::wstring path = ToWide(request.destination);
    bool verify = context.Flag1(Flags1::kVerifyWrittenFiles);
    DWORD error = 0;
    Attempt last = Attempt::Failed;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0 && last == Attempt::Failed) ::Sleep(kRetryPauseMs);
        // The new contents replace the old file only once they are complete:
        // a failed attempt leaves the file as it was.
        error = WriteContents(request).code();
        if (error == 0) {
            last = !verify || ReadsBackEqual(path, request.data) ? Attempt::Written : Attempt::Mismatch;
            if (last == Attempt::Written) break;
            continue;
        }
        last = Attempt::Failed;
        if (attempt == 0) RepairAfterFirstFailure(request, error, context);
    }
    if (last == Attempt::Mismatch) {
        // The data differs: there is no system error to show.
        LogFailure(context.log.failures, context.Message(Msg::kCouldNotInstall), request.destination, {});
        return {};
    }
    if (last == Attempt::Failed) {
        TemporaryFiller fill = [&request](const std::u16string& temporary) {
            return WriteFileAtomically(temporary, request.data);
        };
        return ReportWriteFailure(request, error, &fill, context);
    }
    ApplyAttributes(path, request.attributes);
    WriteOutcome outcome;
    outcome.written = true;
    return outcome;
}

std::optional<FileTimeStamp> ReadFileTimeStamp(std::u16string_view path) {
    // A wildcard would let the search report some other file.
    if (path.find_first_of(u"*?") != std::u16string_view::npos) return std::nullopt;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(ToWide(path).c_str(), &found));
    if (!search) return std::nullopt;
    std::optional<CalendarTime> written = FromFileTime(found.ftLastWriteTime);
    if (!written) return std::nullopt;
    return FileTimeStamp(*written);
}

}  // namespace palisade
