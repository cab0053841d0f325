// The 32-bit XOR mask over an unciphered settings block (its own inverse).
#include "payload/xor_mask.h"

namespace palisade {

void ApplyXorMask(std::uint8_t* data, std::size_t length, std::uint32_t mask) {
    // A little-endian u32 XORed with the mask is the same as XORing byte k of
    // each group with byte k of the mask (lowest first); the tail follows suit.
    std::uint8_t maskBytes[4] = {
        std::uint8_t(mask), std::uint8_t(mask >> 8), std::uint8_t(mask >> 16), std::uint8_t(mask >> 24)};
    for (std::size_t i = 0; i < length; ++i) data[i] ^= maskBytes[i & 3];
}

}  // namespace palisade
