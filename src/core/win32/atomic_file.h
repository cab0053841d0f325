// Writing a whole file so that a reader finds either the old contents or the
// new ones, never a mixture or nothing: the bytes go to a temporary file
// beside the target, reach the disk, and the temporary then takes the
// target's place in one rename. A failure leaves the old file as it was.
#pragma once

#include <string>
#include <string_view>

#include "core/byte_view.h"
#include "core/win32/unique_handle.h"
#include "core/win32/win32_status.h"

namespace palisade {

// What the temporary of a target is called first: "<target>.palisade-new".
inline constexpr char16_t kFixedTemporarySuffix[] = u".palisade-new";

class AtomicFileWriter {
public:
    // Creates the temporary file beside `target` (which need not exist).
    static Win32Result<AtomicFileWriter> Begin(std::u16string_view target);

    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&&) = delete;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();  // a temporary that was not committed is deleted

    Win32Status Append(ByteView bytes);
    // Flushes the temporary to the disk and renames it over the target.
    Win32Status Commit();

    const std::u16string& TemporaryPath() const { return m_temporary; }

private:
    AtomicFileWriter(std::u16string target, std::u16string temporary, UniqueFileHandle file);

    std::u16string m_target;
    std::u16string m_temporary;
    UniqueFileHandle m_file;
    bool m_committed = false;
};

// Begin, Append and Commit in one call.
Win32Status WriteFileAtomically(std::u16string_view target, ByteView bytes);

}  // namespace palisade
