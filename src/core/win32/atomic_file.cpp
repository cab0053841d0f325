// Writing a whole file through a temporary beside it and one rename.
#include "core/win32/atomic_file.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/temporary_path.h"
#include "core/text.h"
#include "core/win32/file_system.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr int kNameAttempts = 16;
constexpr std::size_t kLargestWrite = 1u << 24;

// The first name tried is the same for every run, so that the temporary a
// killed run left behind is taken over (and so removed) by the next one; the
// later names mix in the process id and a counter for writers of the same
// target at the same time. The exclusive creation below is what makes any of
// them safe. A name too long for the file system is cut short before the
// suffix, and a path that the suffix takes past MAX_PATH is given in its
// extended form: whatever target fits has a temporary that fits.
std::u16string TemporaryNameFor(std::u16string_view target, int attempt) {
    std::u16string suffix = kFixedTemporarySuffix;
    if (attempt > 0) {
        static LONG counter = 0;
        unsigned serial = unsigned(::InterlockedIncrement(&counter));
        unsigned mix = (unsigned(::GetCurrentProcessId()) << 12) ^ serial ^ (unsigned(attempt) << 24);
        suffix = u"." + ToU16Hex(mix, 8) + u".new";
    }
    std::u16string temporary = PathWithNameSuffix(target, suffix);
    if (temporary.size() >= MAX_PATH) temporary = ExtendedLengthPath(FullPathOf(temporary));
    return temporary;
}

// Renames the file `file` is open on to `target`, which must not exist.
Win32Status RenameOpenFile(HANDLE file, std::u16string_view target) {
    std::wstring name = ToWide(target);
    std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = DWORD(name.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, name.data(), name.size() * sizeof(wchar_t));
    if (!::SetFileInformationByHandle(file, FileRenameInfo, info, DWORD(buffer.size()))) {
        return Win32Status::FromLastError();
    }
    return {};
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::u16string target, std::u16string temporary, UniqueFileHandle file)
    : m_target(std::move(target)), m_temporary(std::move(temporary)), m_file(std::move(file)) {}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : m_target(std::move(other.m_target)),
      m_temporary(std::move(other.m_temporary)),
      m_file(std::move(other.m_file)),
      m_committed(std::exchange(other.m_committed, true)) {}

AtomicFileWriter::~AtomicFileWriter() {
    if (m_committed) return;
    m_file.reset();
    ::DeleteFileW(ToWide(m_temporary).c_str());
}

Win32Result<AtomicFileWriter> AtomicFileWriter::Begin(std::u16string_view target) {
    Win32Status failure;
    bool leftOverDeleted = false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::u16string temporary = TemporaryNameFor(target, attempt);
        // DELETE lets a commit rename the file through this handle.
        HANDLE file = ::CreateFileW(ToWide(temporary).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return AtomicFileWriter(std::u16string(target), std::move(temporary), UniqueFileHandle(file));
        }
        failure = Win32Status::FromLastError();
        if (failure.code() != ERROR_FILE_EXISTS && failure.code() != ERROR_ALREADY_EXISTS) break;
        // The first name is taken: a temporary left over by a killed run is
        // deleted and the name tried once more. The deletion removes a link
        // itself, never what it points to, and fails while another writer
        // holds the file (it opens it for itself alone).
        if (attempt == 0 && !leftOverDeleted && ::DeleteFileW(ToWide(temporary).c_str())) {
            leftOverDeleted = true;
            attempt = -1;
        }
    }
    return failure;
}

Win32Status AtomicFileWriter::Append(ByteView bytes) {
    while (!bytes.empty()) {
        DWORD chunk = DWORD(std::min(bytes.size, kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(m_file.get(), bytes.data, chunk, &written, nullptr)) return Win32Status::FromLastError();
        if (written == 0) return Win32Status(ERROR_WRITE_FAULT);
        bytes = bytes.Sub(written);
    }
    return {};
}

Win32Status AtomicFileWriter::SetTimes(const FILETIME& created, const FILETIME& written) {
    if (!::SetFileTime(m_file.get(), &created, nullptr, &written)) return Win32Status::FromLastError();
    return {};
}

Win32Status AtomicFileWriter::Commit(CommitMode mode) {
    if (mode == CommitMode::DurableWhenReplacing && m_file) {
        // One request instead of closing, opening again by name and renaming.
        // It refuses a target that exists; that, and any other refusal (a
        // file system that cannot rename through a handle), takes the
        // durable way, whose failure is the one reported.
        if (RenameOpenFile(m_file.get(), m_target).ok()) {
            m_committed = true;
            m_file.reset();
            return {};
        }
    }
    return CommitDurably(m_target);
}

Win32Status AtomicFileWriter::CommitTo(std::u16string_view other) { return CommitDurably(other); }

// The temporary is flushed and closed once; a rename that fails leaves it
// for another try.
Win32Status AtomicFileWriter::CommitDurably(std::u16string_view target) {
    if (m_file) {
        if (!::FlushFileBuffers(m_file.get())) return Win32Status::FromLastError();
        if (!::CloseHandle(m_file.release())) return Win32Status::FromLastError();
    }
    if (!::MoveFileExW(ToWide(m_temporary).c_str(), ToWide(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Win32Status::FromLastError();
    }
    m_committed = true;
    return {};
}

Win32Status WriteFileAtomically(std::u16string_view target, ByteView bytes) {
    Win32Result<AtomicFileWriter> writer = AtomicFileWriter::Begin(target);
    if (!writer.ok()) return writer.status();
    if (Win32Status appended = writer->Append(bytes); appended.failed()) return appended;
    return writer->Commit();
}

}  // namespace palisade
