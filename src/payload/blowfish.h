// The payload's block cipher: Blowfish in ECB mode with the payload's key-word
// order and its trailing-length framing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "payload/blowfish_constants.h"

namespace palisade {

class Blowfish {
public:
    // Unkeyed: the standard initial constants, as if keyed with nothing.
    Blowfish();

    // Pads the key with zero bytes (to 8 bytes when shorter than 8, else to a
    // multiple of 4) and mixes it in, key words read little-endian. False, and
    // the cipher left as it was, unless the padded key is 64..448 bits long.
    bool SetKey(const std::uint8_t* key, std::size_t length);

    void EncipherBlock(std::uint32_t& left, std::uint32_t& right) const;
    void DecipherBlock(std::uint32_t& left, std::uint32_t& right) const;

    // Deciphers every 8-byte block in place (halves big-endian) and cuts the
    // result to the plain length stored little-endian in its last 4 bytes.
    // Empties the buffer when the length is not a positive multiple of 8 or the
    // stored length does not lie in total-12 .. total-4.
    void Decipher(std::vector<std::uint8_t>& buffer) const;

    // The inverse of Decipher: zero padding so that length + pad + 4 is a
    // multiple of 8, then the plain length as little-endian u32, all enciphered.
    // Empty when `length` does not fit the signed 32-bit length field.
    std::vector<std::uint8_t> EncipherFramed(const std::uint8_t* data, std::size_t length) const;

    static constexpr std::size_t kBlockSize = 8;
    static constexpr std::size_t kMinKeyBytes = 8;
    static constexpr std::size_t kMaxKeyBytes = 56;

private:
    std::uint32_t Mix(std::uint32_t half) const;
    void ProcessBlocks(std::uint8_t* data, std::size_t length, bool encipher) const;

    // No chaining register: every block stands alone, so the 8-byte register the
    // format clears before each deciphering has no effect and is not kept.
    std::uint32_t m_p[kBlowfishRounds + 2];
    std::uint32_t m_s[4][256];
};

}  // namespace palisade
