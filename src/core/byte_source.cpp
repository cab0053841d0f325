// Random-access reading of a file's bytes.
#include "core/byte_source.h"

namespace palisade {

std::optional<std::uint16_t> ByteSource::ReadU16(std::uint64_t position) const {
    std::uint8_t b[2];
    if (!ReadAt(position, b, 2)) return std::nullopt;
    return std::uint16_t(b[0] | (b[1] << 8));
}

std::optional<std::uint32_t> ByteSource::ReadU32(std::uint64_t position) const {
    std::uint8_t b[4];
    if (!ReadAt(position, b, 4)) return std::nullopt;
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
}

bool ViewByteSource::ReadAt(std::uint64_t position, void* buffer, std::size_t length) const {
    if (position > m_bytes.size || length > m_bytes.size - position) return false;
    if (length != 0) std::memcpy(buffer, m_bytes.data + position, length);
    return true;
}

bool MemoryByteSource::ReadAt(std::uint64_t position, void* buffer, std::size_t length) const {
    return ViewByteSource(m_bytes).ReadAt(position, buffer, length);
}

}  // namespace palisade
