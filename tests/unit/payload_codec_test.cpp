// CRC-32 and the XOR mask of payload pieces.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "payload/crc32.h"
#include "payload/xor_mask.h"

namespace palisade {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(PayloadCrc32, MatchesZlibKnownValues) {
    struct Case {
        std::string input;
        std::uint32_t crc;
    };
    const Case cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Crc32(c.input.data(), c.input.size()), c.crc) << '"' << c.input << '"';
        EXPECT_EQ(Crc32(Bytes(c.input)), c.crc) << '"' << c.input << '"';
    }
}

TEST(PayloadCrc32, EmptyPieceWithoutDataIsZero) {
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    EXPECT_EQ(Crc32(std::vector<std::uint8_t>{}), 0u);
}

TEST(PayloadCrc32, EveryPieceStartsFresh) {
    // A checksum must not depend on what was checked before.
    auto digits = Bytes("123456789");
    Crc32(Bytes("something else"));
    EXPECT_EQ(Crc32(digits), 0xCBF43926u);
    EXPECT_EQ(Crc32(digits), 0xCBF43926u);
}

TEST(PayloadXorMask, FiveBytesUseWholeMaskThenLowestByte) {
    std::vector<std::uint8_t> block = {0x01, 0x02, 0x03, 0x04, 0x05};
    ApplyXorMask(block.data(), block.size(), 0x11223344u);
    EXPECT_EQ(block, (std::vector<std::uint8_t>{0x01 ^ 0x44, 0x02 ^ 0x33, 0x03 ^ 0x22, 0x04 ^ 0x11, 0x05 ^ 0x44}));
}

TEST(PayloadXorMask, TailBytesTakeMaskBytesInOrder) {
    const std::uint32_t mask = 0xA1B2C3D4u;
    for (std::size_t length = 0; length <= 11; ++length) {
        std::vector<std::uint8_t> block(length, 0);
        ApplyXorMask(block.data(), block.size(), mask);
        for (std::size_t i = 0; i < length; ++i) {
            EXPECT_EQ(block[i], std::uint8_t(mask >> (8 * (i % 4)))) << "length " << length << " byte " << i;
        }
    }
}

TEST(PayloadXorMask, GroupsActAsLittleEndianWords) {
    std::vector<std::uint8_t> block = {0x78, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89};
    ApplyXorMask(block.data(), block.size(), 0xFFFF0000u);
    std::uint32_t first = block[0] | block[1] << 8 | block[2] << 16 | std::uint32_t(block[3]) << 24;
    std::uint32_t second = block[4] | block[5] << 8 | block[6] << 16 | std::uint32_t(block[7]) << 24;
    EXPECT_EQ(first, 0x12345678u ^ 0xFFFF0000u);
    EXPECT_EQ(second, 0x89ABCDEFu ^ 0xFFFF0000u);
}

TEST(PayloadXorMask, IsItsOwnInverse) {
    for (std::size_t length : {0u, 1u, 3u, 4u, 7u, 64u, 65u}) {
        std::vector<std::uint8_t> original(length);
        for (std::size_t i = 0; i < length; ++i) original[i] = std::uint8_t(i * 37 + 11);
        auto block = original;
        ApplyXorMask(block.data(), block.size(), 0xDEADBEEFu);
        if (length > 0) {
            EXPECT_NE(block, original);
        }
        ApplyXorMask(block.data(), block.size(), 0xDEADBEEFu);
        EXPECT_EQ(block, original) << "length " << length;
    }
}

}  // namespace
}  // namespace palisade
