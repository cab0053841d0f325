// Writing a whole file so that a reader finds either the old contents or the
// new ones, never a mixture or nothing: the bytes go to a temporary file
// beside the target, reach the disk (see CommitMode), and the temporary then
// takes the target's place in one rename. A failure leaves the old file as
// it was.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/byte_view.h"
#include "core/win32/unique_handle.h"
#include "core/win32/win32_status.h"

namespace palisade {

// What the temporary of a target is called first: "<target>.palisade-new"
// (the target's name cut short where the two would pass 255 characters).
inline constexpr char16_t kFixedTemporarySuffix[] = u".palisade-new";

// Whether a commit waits for the disk. Durable: the temporary's bytes reach
// the disk before it replaces the target, and the rename before the commit
// returns, so that a crash or power loss leaves the old contents or the whole
// new ones. DurableWhenReplacing: the same where a target exists; where none
// does, there are no contents to lose and both are left to the system's cache
// (a flush per file makes installing many small files several times slower).
enum class CommitMode { Durable, DurableWhenReplacing };

class AtomicFileWriter {
public:
    // Creates the temporary file beside `target` (which need not exist).
    static Win32Result<AtomicFileWriter> Begin(std::u16string_view target);

    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&&) = delete;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();  // a temporary that was not committed is deleted

    Win32Status Append(ByteView bytes);
    // The creation and last-write times the target gets (the rename keeps them).
    Win32Status SetTimes(const FILETIME& created, const FILETIME& written);
    // Renames the temporary to the target's name, replacing the target. A
    // commit that failed may be tried again (the temporary is kept).
    Win32Status Commit(CommitMode mode = CommitMode::Durable);
    // Commits durably to `other` instead of the target, replacing `other`.
    Win32Status CommitTo(std::u16string_view other);

    const std::u16string& TemporaryPath() const { return m_temporary; }

private:
    AtomicFileWriter(std::u16string target, std::u16string temporary, UniqueFileHandle file);
    Win32Status CommitDurably(std::u16string_view target);

    std::u16string m_target;
    std::u16string m_temporary;
    UniqueFileHandle m_file;
    bool m_committed = false;
};

// Begin, Append and Commit in one call.
Win32Status WriteFileAtomically(std::u16string_view target, ByteView bytes);

}  // namespace palisade
