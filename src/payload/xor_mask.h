// The 32-bit XOR mask over an unciphered settings block (its own inverse).
#pragma once

#include <cstddef>
#include <cstdint>

namespace palisade {

// XORs every complete 4-byte group, read as a little-endian u32, with `mask`,
// and the 1 to 3 remaining bytes with the mask's low-order bytes in order.
void ApplyXorMask(std::uint8_t* data, std::size_t length, std::uint32_t mask);

}  // namespace palisade
