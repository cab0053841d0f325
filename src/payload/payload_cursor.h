// The read position in payload data, with readers that never leave their data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/byte_view.h"

namespace palisade {

// Reads little-endian fields front to back from one structure (the section, a
// settings block, a chunk, an item record). Every reader fails, without moving
// the cursor, when its field would reach past the end of that structure; the
// caller turns the failure into the error code of the check the short data fails.
class PayloadCursor {
public:
    PayloadCursor() = default;
    explicit PayloadCursor(ByteView data) : m_data(data) {}

    std::optional<std::uint32_t> ReadU32();
    std::optional<std::int32_t> ReadI32();
    // The text up to its NUL, in place; the cursor moves past the NUL.
    std::optional<std::string_view> ReadNarrowString();
    // UTF-16LE units up to a NUL unit (units need no alignment); moves past the NUL.
    std::optional<std::u16string> ReadWideString();
    // `length` bytes in place, without a copy.
    std::optional<ByteView> ReadBytes(std::size_t length);
    bool Skip(std::size_t length);

    std::size_t Offset() const { return m_offset; }
    std::size_t Remaining() const { return m_data.size - m_offset; }
    bool AtEnd() const { return m_offset == m_data.size; }

private:
    ByteView m_data;
    std::size_t m_offset = 0;
};

}  // namespace palisade
