// CRC-32 of payload pieces, as zlib's crc32 computes it, started from 0.
#include "payload/crc32.h"

#include <lzma.h>

#include <algorithm>

namespace palisade {

// liblzma's CRC-32 is the same function (reflected polynomial 0xEDB88320,
// chained through its last argument); the stub links liblzma anyway, so a
// second implementation and its tables are not carried.
std::uint32_t Crc32(const void* data, std::size_t length) { return Crc32(0, data, length); }

std::uint32_t Crc32(std::uint32_t previous, const void* data, std::size_t length) {
    return lzma_crc32(static_cast<const std::uint8_t*>(data), length, previous);
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes) { return Crc32(bytes.data(), bytes.size()); }

std::optional<std::uint32_t> Crc32OfRange(const ByteSource& source, std::uint64_t position, std::uint64_t length) {
    constexpr std::size_t kPiece = 256u << 10;
    std::vector<std::uint8_t> piece(std::size_t(std::min<std::uint64_t>(length, kPiece)));
    std::uint32_t crc = 0;
    while (length > 0) {
        std::size_t part = std::size_t(std::min<std::uint64_t>(length, kPiece));
        if (!source.ReadAt(position, piece.data(), part)) return std::nullopt;
        crc = Crc32(crc, piece.data(), part);
        position += part;
        length -= part;
    }
    return crc;
}

}  // namespace palisade
