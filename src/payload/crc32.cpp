// CRC-32 of payload pieces, as zlib's crc32 computes it, started from 0.
#include "payload/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace palisade {

std::uint32_t Crc32(const void* data, std::size_t length) {
    return Crc32(static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0)), data, length);
}

std::uint32_t Crc32(std::uint32_t previous, const void* data, std::size_t length) {
    // zlib takes the length as uInt; larger pieces are fed in slices.
    constexpr std::size_t kMaxSlice = UINT_MAX;
    auto bytes = static_cast<const Bytef*>(data);
    uLong crc = previous;
    while (length > 0) {
        std::size_t slice = std::min(length, kMaxSlice);
        crc = crc32(crc, bytes, static_cast<uInt>(slice));
        bytes += slice;
        length -= slice;
    }
    return static_cast<std::uint32_t>(crc);
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes) {
    return Crc32(bytes.data(), bytes.size());
}

}  // namespace palisade
