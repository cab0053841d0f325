// CRC-32 of payload pieces, as zlib's crc32 computes it, started from 0.
#include "payload/crc32.h"

#include <lzma.h>

namespace palisade {

// liblzma's CRC-32 is the same function (reflected polynomial 0xEDB88320,
// chained through its last argument); the stub links liblzma anyway, so a
// second implementation and its tables are not carried.
std::uint32_t Crc32(const void* data, std::size_t length) { return Crc32(0, data, length); }

std::uint32_t Crc32(std::uint32_t previous, const void* data, std::size_t length) {
    return lzma_crc32(static_cast<const std::uint8_t*>(data), length, previous);
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes) { return Crc32(bytes.data(), bytes.size()); }

}  // namespace palisade
