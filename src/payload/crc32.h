// CRC-32 of payload pieces, as zlib's crc32 computes it, started from 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_source.h"

namespace palisade {

std::uint32_t Crc32(const void* data, std::size_t length);
// Continues `previous` (the CRC-32 of the bytes before) over more bytes.
std::uint32_t Crc32(std::uint32_t previous, const void* data, std::size_t length);
std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes);
// The CRC-32 of `length` bytes of `source` from `position`, read in pieces so
// that a large archive on disk is never held whole; nothing when a read fails.
std::optional<std::uint32_t> Crc32OfRange(const ByteSource& source, std::uint64_t position, std::uint64_t length);

}  // namespace palisade
