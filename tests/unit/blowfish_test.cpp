// The payload cipher: standard vectors, key-word order, framing and round trips.
#include "payload/blowfish.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "external_tool.h"

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

Blowfish Keyed(const Bytes& key) {
    Blowfish cipher;
    EXPECT_TRUE(cipher.SetKey(key.data(), key.size()));
    return cipher;
}

// The key with each 4-byte group reversed: what a big-endian key reader needs
// to see to build the same cipher as our little-endian key words.
Bytes SwapKeyWords(Bytes key) {
    for (std::size_t at = 0; at + 4 <= key.size(); at += 4) std::reverse(key.begin() + at, key.begin() + at + 4);
    return key;
}

std::uint32_t BigEndianAt(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

void PutBigEndian(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (24 - 8 * i));
}

// Plain ECB encipherment of whole blocks, halves big-endian, no framing.
Bytes EncipherRaw(const Blowfish& cipher, Bytes data) {
    for (std::size_t at = 0; at + 8 <= data.size(); at += 8) {
        std::uint32_t left = BigEndianAt(data, at);
        std::uint32_t right = BigEndianAt(data, at + 4);
        cipher.EncipherBlock(left, right);
        PutBigEndian(data, at, left);
        PutBigEndian(data, at + 4, right);
    }
    return data;
}

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(std::uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

TEST(BlowfishCipher, StandardVectorsWithKeyWordsSwapped) {
    // Published vectors give the key as big-endian words; our key words are
    // little-endian, so each group of 4 key bytes is given reversed.
    struct Vector {
        const char* key;
        std::uint32_t plainLeft, plainRight, cipherLeft, cipherRight;
    };
    const Vector vectors[] = {
        {"0000000000000000", 0x00000000, 0x00000000, 0x4EF99745, 0x6198DD78},
        {"FFFFFFFFFFFFFFFF", 0xFFFFFFFF, 0xFFFFFFFF, 0x51866FD5, 0xB85ECB8A},
        {"3000000000000000", 0x10000000, 0x00000001, 0x7D856F9A, 0x613063F2},
        {"0123456789ABCDEF", 0x11111111, 0x11111111, 0x61F9C380, 0x2281B096},
        {"FEDCBA9876543210", 0x01234567, 0x89ABCDEF, 0x0ACEAB0F, 0xC6A0A28D},
    };
    for (const auto& v : vectors) {
        Blowfish cipher = Keyed(SwapKeyWords(FromHex(v.key)));
        std::uint32_t left = v.plainLeft, right = v.plainRight;
        cipher.EncipherBlock(left, right);
        EXPECT_EQ(left, v.cipherLeft) << v.key;
        EXPECT_EQ(right, v.cipherRight) << v.key;
        cipher.DecipherBlock(left, right);
        EXPECT_EQ(left, v.plainLeft) << v.key;
        EXPECT_EQ(right, v.plainRight) << v.key;
    }
}

TEST(BlowfishCipher, KeyWordsAreReadLittleEndian) {
    // The same key bytes read big-endian would give the published cipher text.
    Blowfish cipher = Keyed(FromHex("0123456789ABCDEF"));
    std::uint32_t left = 0x11111111, right = 0x11111111;
    cipher.EncipherBlock(left, right);
    EXPECT_FALSE(left == 0x61F9C380u && right == 0x2281B096u);
}

TEST(BlowfishCipher, KeyLengthLimits) {
    struct Case {
        std::size_t length;
        bool accepted;
    };
    const Case cases[] = {{0, false}, {1, true}, {7, true}, {8, true}, {9, true}, {55, true}, {56, true}, {57, false}, {64, false}};
    Bytes key(64, 0x5A);
    for (const auto& c : cases) {
        Blowfish cipher;
        EXPECT_EQ(cipher.SetKey(key.data(), c.length), c.accepted) << "length " << c.length;
    }
}

TEST(BlowfishCipher, ShortKeysArePaddedWithZeros) {
    struct Case {
        Bytes shortKey, paddedKey;
    };
    const Case cases[] = {
        {{'a', 'b', 'c'}, {'a', 'b', 'c', 0, 0, 0, 0, 0}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 0}},
    };
    for (const auto& c : cases) {
        Blowfish shortCipher = Keyed(c.shortKey);
        Blowfish paddedCipher = Keyed(c.paddedKey);
        std::uint32_t l1 = 0x01020304, r1 = 0x05060708, l2 = l1, r2 = r1;
        shortCipher.EncipherBlock(l1, r1);
        paddedCipher.EncipherBlock(l2, r2);
        EXPECT_EQ(l1, l2) << "key length " << c.shortKey.size();
        EXPECT_EQ(r1, r2) << "key length " << c.shortKey.size();
    }
}

TEST(BlowfishCipher, RejectedKeyLeavesCipherAsItWas) {
    Bytes key = {9, 8, 7, 6, 5, 4, 3, 2};
    Blowfish cipher = Keyed(key);
    Blowfish reference = Keyed(key);
    Bytes tooLong(57, 1);
    EXPECT_FALSE(cipher.SetKey(tooLong.data(), tooLong.size()));
    std::uint32_t l1 = 1, r1 = 2, l2 = 1, r2 = 2;
    cipher.EncipherBlock(l1, r1);
    reference.EncipherBlock(l2, r2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(r1, r2);
}

TEST(BlowfishCipher, MatchesOpenSslEcb) {
    if (!test::ToolAvailable("openssl")) GTEST_SKIP() << "openssl not installed";
    Bytes plain(64);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = std::uint8_t(i * 29 + 7);
    // OpenSSL wants a 16-byte key: an 8-byte key is given twice, which keys
    // Blowfish exactly as the 8-byte key does.
    const Bytes keys[] = {
        {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE},
        {0x4B, 0x65, 0x79, 0x21, 0x00, 0x01, 0x02, 0x03, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5, 0x06, 0x17},
    };
    for (const Bytes& key : keys) {
        Bytes opensslKey = SwapKeyWords(key);
        if (opensslKey.size() == 8) opensslKey.insert(opensslKey.end(), opensslKey.begin(), opensslKey.end());
        auto reference = test::RunToolOnBytes(
            "openssl enc -bf-ecb -nopad -provider legacy -provider default -K " + test::Hex(opensslKey), plain);
        ASSERT_TRUE(reference.has_value()) << "openssl failed";
        EXPECT_EQ(test::Hex(EncipherRaw(Keyed(key), plain)), test::Hex(*reference)) << "key " << test::Hex(key);
    }
}

// One 8-byte plain block whose last 4 bytes hold `storedLength` little-endian.
Bytes CipheredBlockWithLength(const Blowfish& cipher, std::uint32_t storedLength, std::size_t blocks = 1) {
    Bytes plain(8 * blocks, 0xAB);
    for (int i = 0; i < 4; ++i) plain[plain.size() - 4 + i] = std::uint8_t(storedLength >> (8 * i));
    return EncipherRaw(cipher, plain);
}

TEST(BlowfishFraming, EightByteBlockAcceptsLengthsZeroToFour) {
    Blowfish cipher = Keyed({1, 2, 3, 4, 5, 6, 7, 8});
    for (std::uint32_t stored : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 8u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes buffer = CipheredBlockWithLength(cipher, stored);
        cipher.Decipher(buffer);
        if (stored <= 4) {
            EXPECT_EQ(buffer, Bytes(stored, 0xAB)) << "stored length " << stored;
        } else {
            EXPECT_TRUE(buffer.empty()) << "stored length " << stored;
        }
    }
}

TEST(BlowfishFraming, LongerBufferAcceptsTotalMinusTwelveToMinusFour) {
    Blowfish cipher = Keyed({1, 2, 3, 4, 5, 6, 7, 8});
    for (std::uint32_t stored = 0; stored <= 20; ++stored) {
        Bytes buffer = CipheredBlockWithLength(cipher, stored, 3);  // 24 bytes
        cipher.Decipher(buffer);
        bool accepted = stored >= 12 && stored <= 20;
        EXPECT_EQ(buffer.size(), accepted ? stored : 0u) << "stored length " << stored;
    }
}

TEST(BlowfishFraming, LengthNotAPositiveMultipleOfEightEmpties) {
    Blowfish cipher = Keyed({1, 2, 3, 4, 5, 6, 7, 8});
    for (std::size_t size : {0u, 1u, 4u, 7u, 9u, 12u, 15u, 17u}) {
        Bytes buffer(size, 0);
        cipher.Decipher(buffer);
        EXPECT_TRUE(buffer.empty()) << "size " << size;
    }
}

TEST(BlowfishFraming, WrongKeyDoesNotYieldThePlainText) {
    Blowfish right = Keyed({1, 2, 3, 4, 5, 6, 7, 8});
    Blowfish wrong = Keyed({1, 2, 3, 4, 5, 6, 7, 9});
    Bytes plain(37);
    for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = std::uint8_t(i);
    Bytes buffer = right.EncipherFramed(plain.data(), plain.size());
    wrong.Decipher(buffer);
    EXPECT_NE(buffer, plain);
}

TEST(BlowfishFraming, EncipherFramedRoundTripsEveryShortLength) {
    Blowfish cipher = Keyed({0x4B, 0x65, 0x79, 0x21, 0x10, 0x20, 0x30, 0x40});
    for (std::size_t length = 0; length <= 40; ++length) {
        Bytes plain(length);
        for (std::size_t i = 0; i < length; ++i) plain[i] = std::uint8_t(0xC0 + i);
        Bytes framed = cipher.EncipherFramed(plain.data(), plain.size());
        EXPECT_EQ(framed.size() % 8, 0u) << "length " << length;
        EXPECT_GE(framed.size(), length + 4) << "length " << length;
        EXPECT_LT(framed.size(), length + 12) << "length " << length;
        cipher.Decipher(framed);
        EXPECT_EQ(framed, plain) << "length " << length;
    }
}

TEST(BlowfishFraming, FramedBlocksAreIndependent) {
    // Equal plain blocks give equal cipher blocks: no chaining between blocks.
    Blowfish cipher = Keyed({1, 2, 3, 4, 5, 6, 7, 8});
    Bytes plain(20, 0x33);
    Bytes framed = cipher.EncipherFramed(plain.data(), plain.size());
    ASSERT_EQ(framed.size(), 24u);
    EXPECT_TRUE(std::equal(framed.begin(), framed.begin() + 8, framed.begin() + 8));
}

}  // namespace
}  // namespace palisade
