// The read position in payload data, with readers that never leave their data.
#include "payload/payload_cursor.h"

#include <cstring>

#include "payload/little_endian.h"

namespace palisade {

std::optional<std::uint32_t> PayloadCursor::ReadU32() {
    auto bytes = ReadBytes(4);
    if (!bytes) return std::nullopt;
    return LoadU32(bytes->data);
}

std::optional<std::int32_t> PayloadCursor::ReadI32() {
    auto value = ReadU32();
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::string_view> PayloadCursor::ReadNarrowString() {
    if (Remaining() == 0) return std::nullopt;
    const std::uint8_t* start = m_data.data + m_offset;
    const void* nul = std::memchr(start, 0, Remaining());
    if (!nul) return std::nullopt;
    std::size_t length = static_cast<const std::uint8_t*>(nul) - start;
    m_offset += length + 1;
    return std::string_view(reinterpret_cast<const char*>(start), length);
}

std::optional<std::u16string> PayloadCursor::ReadWideString() {
    std::u16string text;
    for (std::size_t at = m_offset; Remaining() - (at - m_offset) >= 2; at += 2) {
        char16_t unit = LoadU16(m_data.data + at);
        if (unit == 0) {
            m_offset = at + 2;
            return text;
        }
        text.push_back(unit);
    }
    return std::nullopt;
}

std::optional<ByteView> PayloadCursor::ReadBytes(std::size_t length) {
    if (length > Remaining()) return std::nullopt;
    ByteView bytes(m_data.data + m_offset, length);
    m_offset += length;
    return bytes;
}

bool PayloadCursor::Skip(std::size_t length) {
    if (length > Remaining()) return false;
    m_offset += length;
    return true;
}

}  // namespace palisade
