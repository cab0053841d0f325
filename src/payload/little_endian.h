// Little-endian integers read from and written into byte buffers at fixed offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace palisade {

inline std::uint16_t LoadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline void StoreU16(std::uint8_t* p, std::uint16_t value) {
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}

inline void StoreU32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(value >> (8 * i));
}

inline void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    std::uint8_t bytes[2];
    StoreU16(bytes, value);
    out.insert(out.end(), bytes, bytes + 2);
}

inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t bytes[4];
    StoreU32(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

inline void AppendI32(std::vector<std::uint8_t>& out, std::int32_t value) { AppendU32(out, std::uint32_t(value)); }

}  // namespace palisade
