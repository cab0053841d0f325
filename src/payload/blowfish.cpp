// The payload's block cipher: Blowfish in ECB mode with the payload's key-word
// order and its trailing-length framing.
#include "payload/blowfish.h"

#include <cstring>
#include <limits>

namespace palisade {
namespace {

std::uint32_t ReadBigEndian32(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 |
           std::uint32_t(bytes[3]);
}

void WriteBigEndian32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = std::uint8_t(value >> 24);
    bytes[1] = std::uint8_t(value >> 16);
    bytes[2] = std::uint8_t(value >> 8);
    bytes[3] = std::uint8_t(value);
}

std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

void WriteLittleEndian32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = std::uint8_t(value >> (8 * i));
}

// The key length after zero padding: whole blocks for short keys, whole words otherwise.
std::size_t PaddedKeyLength(std::size_t length) {
    if (length < 8) return (length + 7) / 8 * 8;
    return (length + 3) / 4 * 4;
}

}  // namespace

Blowfish::Blowfish() {
    std::memcpy(m_p, kBlowfishInitialP, sizeof m_p);
    std::memcpy(m_s, kBlowfishInitialS, sizeof m_s);
}

bool Blowfish::SetKey(const std::uint8_t* key, std::size_t length) {
    std::size_t padded = PaddedKeyLength(length);
    if (padded < kMinKeyBytes || padded > kMaxKeyBytes) return false;
    std::uint8_t keyBytes[kMaxKeyBytes] = {};
    std::memcpy(keyBytes, key, length);

    std::memcpy(m_p, kBlowfishInitialP, sizeof m_p);
    std::memcpy(m_s, kBlowfishInitialS, sizeof m_s);
    std::size_t wordCount = padded / 4;
    for (std::size_t i = 0; i < kBlowfishRounds + 2; ++i) {
        // Key words are little-endian here, unlike the usual big-endian reading.
        m_p[i] ^= ReadLittleEndian32(keyBytes + 4 * (i % wordCount));
    }
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    for (std::size_t i = 0; i < kBlowfishRounds + 2; i += 2) {
        EncipherBlock(left, right);
        m_p[i] = left;
        m_p[i + 1] = right;
    }
    for (auto& box : m_s) {
        for (std::size_t i = 0; i < 256; i += 2) {
            EncipherBlock(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
    return true;
}

std::uint32_t Blowfish::Mix(std::uint32_t half) const {
    return ((m_s[0][half >> 24] + m_s[1][(half >> 16) & 0xFF]) ^ m_s[2][(half >> 8) & 0xFF]) + m_s[3][half & 0xFF];
}

void Blowfish::EncipherBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int round = 0; round < kBlowfishRounds; round += 2) {
        l ^= m_p[round];
        r ^= Mix(l);
        r ^= m_p[round + 1];
        l ^= Mix(r);
    }
    l ^= m_p[kBlowfishRounds];
    r ^= m_p[kBlowfishRounds + 1];
    left = r;
    right = l;
}

void Blowfish::DecipherBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int round = kBlowfishRounds + 1; round > 1; round -= 2) {
        l ^= m_p[round];
        r ^= Mix(l);
        r ^= m_p[round - 1];
        l ^= Mix(r);
    }
    l ^= m_p[1];
    r ^= m_p[0];
    left = r;
    right = l;
}

void Blowfish::ProcessBlocks(std::uint8_t* data, std::size_t length, bool encipher) const {
    for (std::size_t at = 0; at + kBlockSize <= length; at += kBlockSize) {
        std::uint32_t left = ReadBigEndian32(data + at);
        std::uint32_t right = ReadBigEndian32(data + at + 4);
        if (encipher) {
            EncipherBlock(left, right);
        } else {
            DecipherBlock(left, right);
        }
        WriteBigEndian32(data + at, left);
        WriteBigEndian32(data + at + 4, right);
    }
}

void Blowfish::Decipher(std::vector<std::uint8_t>& buffer) const {
    std::size_t total = buffer.size();
    if (total < kBlockSize || total % kBlockSize != 0) {
        buffer = {};
        return;
    }
    ProcessBlocks(buffer.data(), total, false);
    // The stored length is a signed 32-bit value: a negative one fails the test.
    auto plainLength = std::int64_t(std::int32_t(ReadLittleEndian32(buffer.data() + total - 4)));
    auto signedTotal = std::int64_t(total);
    if (plainLength < 0 || plainLength < signedTotal - 12 || plainLength > signedTotal - 4) {
        buffer = {};
        return;
    }
    buffer.resize(std::size_t(plainLength));
}

std::vector<std::uint8_t> Blowfish::EncipherFramed(const std::uint8_t* data, std::size_t length) const {
    if (length > std::size_t(std::numeric_limits<std::int32_t>::max())) return {};
    std::size_t padding = (kBlockSize - (length + 4) % kBlockSize) % kBlockSize;
    std::vector<std::uint8_t> framed(length + padding + 4, 0);
    if (length > 0) std::memcpy(framed.data(), data, length);
    WriteLittleEndian32(framed.data() + length + padding, std::uint32_t(length));
    ProcessBlocks(framed.data(), framed.size(), true);
    return framed;
}

}  // namespace palisade
