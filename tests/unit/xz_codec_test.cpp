// xz decompression of payload pieces and the builder's compression.
#include "payload/xz_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "external_tool.h"

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Compressible(std::size_t length) {
    Bytes data(length);
    for (std::size_t i = 0; i < length; ++i) data[i] = std::uint8_t("payload chunk "[i % 14] + (i / 1000) % 3);
    return data;
}

Bytes Random(std::size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes data(length);
    for (auto& b : data) b = std::uint8_t(generator());
    return data;
}

Bytes Compress(const Bytes& data, std::uint32_t preset = 6) {
    auto packed = XzCompress(data.data(), data.size(), preset);
    EXPECT_TRUE(packed.has_value());
    return packed.value_or(Bytes{});
}

TEST(XzCodec, RoundTripsAcrossPieceBoundaries) {
    const Bytes inputs[] = {
        Compressible(0),     Compressible(1),      Compressible(16383),  Compressible(16384),
        Compressible(16385), Compressible(300000), Random(100000, 1),    Bytes(2000000, 0),
    };
    for (const Bytes& input : inputs) {
        Bytes buffer = Compress(input);
        ASSERT_TRUE(XzDecompress(buffer)) << "length " << input.size();
        EXPECT_TRUE(buffer == input) << "length " << input.size();
    }
}

TEST(XzCodec, IncompressibleInputLargerThanOnePieceRoundTrips) {
    // The compressed form is itself longer than one 16384-byte input piece.
    Bytes input = Random(70000, 7);
    Bytes buffer = Compress(input, 0);
    ASSERT_GT(buffer.size(), 16384u * 4);
    ASSERT_TRUE(XzDecompress(buffer));
    EXPECT_TRUE(buffer == input);
}

TEST(XzCodec, EmptyInputSucceedsEmpty) {
    Bytes buffer;
    EXPECT_TRUE(XzDecompress(buffer));
    EXPECT_TRUE(buffer.empty());
}

TEST(XzCodec, ConcatenatedStreamsDecodeAsOne) {
    Bytes first = Compressible(5000);
    Bytes second = Random(3000, 2);
    Bytes buffer = Compress(first);
    Bytes tail = Compress(second);
    buffer.insert(buffer.end(), tail.begin(), tail.end());
    Bytes emptyStream = Compress({});
    buffer.insert(buffer.end(), emptyStream.begin(), emptyStream.end());
    ASSERT_TRUE(XzDecompress(buffer));
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_TRUE(buffer == expected);
}

TEST(XzCodec, StreamPaddingBetweenStreamsIsAccepted) {
    Bytes buffer = Compress(Compressible(100));
    buffer.insert(buffer.end(), 8, 0);  // stream padding: a multiple of 4 zero bytes
    Bytes tail = Compress(Compressible(50));
    buffer.insert(buffer.end(), tail.begin(), tail.end());
    ASSERT_TRUE(XzDecompress(buffer));
    EXPECT_EQ(buffer.size(), 150u);
}

TEST(XzCodec, DamagedInputFailsAndLeavesBufferAlone) {
    const Bytes good = Compress(Compressible(40000));
    struct Case {
        const char* what;
        Bytes input;
    };
    std::vector<Case> cases;
    cases.push_back({"truncated by one byte", Bytes(good.begin(), good.end() - 1)});
    cases.push_back({"only the first half", Bytes(good.begin(), good.begin() + good.size() / 2)});
    cases.push_back({"only the stream header", Bytes(good.begin(), good.begin() + 12)});
    Bytes flipped = good;
    flipped[good.size() / 2] ^= 0x40;
    cases.push_back({"a flipped data byte", flipped});
    Bytes badMagic = good;
    badMagic[0] = 'X';
    cases.push_back({"a bad magic number", badMagic});
    Bytes trailing = good;
    trailing.push_back(0x01);
    cases.push_back({"a trailing garbage byte", trailing});
    cases.push_back({"no xz at all", Compressible(1000)});
    for (const auto& c : cases) {
        Bytes buffer = c.input;
        EXPECT_FALSE(XzDecompress(buffer)) << c.what;
        EXPECT_TRUE(buffer == c.input) << c.what;
    }
}

TEST(XzCodec, OutputBeyondTheLimitFailsAndLeavesTheBuffer) {
    Bytes packed = Compress(Bytes(1u << 20, 0));
    Bytes buffer = packed;
    EXPECT_FALSE(XzDecompress(buffer, {}, (1u << 20) - 1));
    EXPECT_TRUE(buffer == packed);
    EXPECT_TRUE(XzDecompress(buffer, {}, 1u << 20));
    EXPECT_EQ(buffer.size(), 1u << 20);
}

TEST(XzCodec, BuilderStreamsUseCrc32Check) {
    // Stream header: 6 magic bytes, then the flags whose second byte is the check id.
    Bytes packed = Compress(Compressible(1000));
    ASSERT_GE(packed.size(), 12u);
    EXPECT_EQ(packed[6], 0x00);
    EXPECT_EQ(packed[7], 0x01);  // CRC32
}

TEST(XzCodec, RejectsUnknownPreset) {
    Bytes data = Compressible(10);
    EXPECT_FALSE(XzCompress(data.data(), data.size(), 42).has_value());
}

TEST(XzCodec, ThinnedProgressIsNotCalledForQuickWork) {
    int calls = 0;
    Bytes buffer = Compress(Compressible(1000));
    EXPECT_TRUE(XzDecompress(buffer, EveryInterval([&](std::uint64_t, std::uint64_t, std::uint64_t) {
        ++calls;
        return true;
    })));
    EXPECT_EQ(calls, 0);
}

TEST(XzCodec, ProgressFollowsTheInputAndItsAnswerAborts) {
    const Bytes packed = Compress(Random(100000, 5), 0);
    std::uint64_t lastDone = 0, lastBits = 0;
    Bytes buffer = packed;
    EXPECT_TRUE(XzDecompress(buffer, [&](std::uint64_t done, std::uint64_t total, std::uint64_t bits) {
        EXPECT_EQ(total, packed.size());
        EXPECT_GE(done, lastDone);
        EXPECT_GE(bits, lastBits);
        lastDone = done;
        lastBits = bits;
        return false;
    }));
    EXPECT_GT(lastDone, 16384u);  // reports came from several input pieces

    buffer = packed;
    EXPECT_FALSE(XzDecompress(buffer, [](std::uint64_t done, std::uint64_t, std::uint64_t) { return done > 16384; }));
    EXPECT_TRUE(buffer == packed);
}

TEST(XzCodec, BuilderStreamDecodesWithXzTool) {
    if (!test::ToolAvailable("xz")) GTEST_SKIP() << "xz not installed";
    for (const Bytes& input : {Compressible(0), Compressible(123456), Random(20000, 3)}) {
        auto decoded = test::RunToolOnBytes("xz -dc", Compress(input));
        ASSERT_TRUE(decoded.has_value()) << "xz failed on length " << input.size();
        EXPECT_TRUE(*decoded == input) << "length " << input.size();
    }
}

TEST(XzCodec, DecodesXzToolOutputWithItsDefaultCheck) {
    if (!test::ToolAvailable("xz")) GTEST_SKIP() << "xz not installed";
    Bytes input = Compressible(50000);
    // -7 asks for a 16 MiB dictionary, the most the builder writes.
    for (const char* command : {"xz -c", "xz -c --check=crc64", "xz -c --check=sha256", "xz -c --check=none -7"}) {
        auto packed = test::RunToolOnBytes(command, input);
        ASSERT_TRUE(packed.has_value()) << command;
        Bytes buffer = *packed;
        ASSERT_TRUE(XzDecompress(buffer)) << command;
        EXPECT_TRUE(buffer == input) << command;
    }
}

TEST(XzCodec, AStreamAskingForALargerDictionaryIsRefused) {
    // The installer holds the dictionary beside a decoded chunk: a stream
    // that names 32 MiB (xz -8) is refused whatever it holds.
    if (!test::ToolAvailable("xz")) GTEST_SKIP() << "xz not installed";
    auto packed = test::RunToolOnBytes("xz -c -8", Compressible(1000));
    ASSERT_TRUE(packed.has_value());
    Bytes buffer = *packed;
    EXPECT_FALSE(XzDecompress(buffer));
    EXPECT_TRUE(buffer == *packed);
}

TEST(XzCodec, DictionaryFollowsTheDataWithinItsBounds) {
    const std::pair<std::size_t, std::uint32_t> cases[] = {
        {0, 4096}, {100, 4096}, {5000, 5000}, {(16u << 20) - 1, (16u << 20) - 1}, {16u << 20, 16u << 20}, {64u << 20, 16u << 20}};
    for (auto [length, dictionary] : cases) EXPECT_EQ(XzDictionarySize(length), dictionary) << length;
}

TEST(XzCodec, PromisedSizeIsTheDecodedSizeOfTheLastStream) {
    Bytes first = Compress(Compressible(70000));
    EXPECT_EQ(XzPromisedSize(first.data(), first.size()), 70000u);
    Bytes joined = first;
    Bytes second = Compress(Compressible(123));
    joined.insert(joined.end(), second.begin(), second.end());
    EXPECT_EQ(XzPromisedSize(joined.data(), joined.size()), 123u);
    Bytes padded = first;
    padded.insert(padded.end(), 4, 0);  // stream padding: no index at the very end
    EXPECT_FALSE(XzPromisedSize(padded.data(), padded.size()).has_value());
    EXPECT_FALSE(XzPromisedSize(first.data(), 11).has_value());
    // Whatever the index says, the result is what the streams hold.
    ASSERT_TRUE(XzDecompress(joined));
    EXPECT_EQ(joined.size(), 70123u);
}

TEST(XzCodec, BranchFilterStreamsRoundTripAndPayOffOnCallHeavyCode) {
    // x86 code with many relative calls to a few targets: the filter turns
    // the call offsets into repeated absolute addresses.
    Bytes code;
    for (std::uint32_t i = 0; i < 20000; ++i) {
        std::uint32_t relative = 0x1000u - 5u * i;
        code.insert(code.end(), {0x55, 0x89, 0xE5, 0xE8, std::uint8_t(relative), std::uint8_t(relative >> 8),
                                 std::uint8_t(relative >> 16), std::uint8_t(relative >> 24)});
    }
    auto plain = XzCompress(code.data(), code.size(), 6);
    auto filtered = XzCompress(code.data(), code.size(), 6, XzFilter::X86);
    ASSERT_TRUE(plain && filtered);
    EXPECT_LT(filtered->size(), plain->size());
    Bytes buffer = *filtered;
    ASSERT_TRUE(XzDecompress(buffer));
    EXPECT_TRUE(buffer == code);
}

}  // namespace
}  // namespace palisade
