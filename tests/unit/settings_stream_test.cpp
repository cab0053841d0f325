// The settings block's encodings: length forms, bounds, and text decoding.
#include "payload/settings_stream.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values) bytes.push_back(std::uint8_t(v));
    return bytes;
}

struct CompactCase {
    std::uint32_t length;
    std::vector<std::uint8_t> prefix;  // the length form the writer must choose
};

TEST(SettingsStreamCompactString, WriterPicksTheShortestFormAndReaderReadsItBack) {
    const CompactCase cases[] = {
        {0, Bytes({0})},
        {254, Bytes({254})},
        {255, Bytes({255, 255, 255, 0, 0, 0})},  // low byte 255: only the 4-byte length is valid
        {256, Bytes({255, 0x00, 0x01})},
        {0x1FF, Bytes({255, 255, 0xFF, 0x01, 0, 0})},
        {0xFFFE, Bytes({255, 0xFE, 0xFF})},
        {65535, Bytes({255, 255, 0xFF, 0xFF, 0, 0})},
        {65536, Bytes({255, 255, 0x00, 0x00, 0x01, 0})},
    };
    for (const CompactCase& c : cases) {
        std::string text(c.length, '\0');
        for (std::size_t i = 0; i < text.size(); ++i) text[i] = char(i * 7);
        SettingsWriter writer;
        writer.CompactString(text);
        const std::vector<std::uint8_t>& bytes = writer.Bytes();
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        EXPECT_EQ(CompactLengthSize(c.length), c.prefix.size());
        SettingsReader reader(bytes);
        EXPECT_EQ(reader.CompactString(), text) << c.length;
        EXPECT_EQ(reader.Remaining(), 0u);
    }
}

TEST(SettingsStreamCompactString, ReaderAcceptsLongerFormsThanNeeded) {
    const std::vector<std::uint8_t> threeBytesBytes = Bytes({255, 2, 0, 'a', 'b'});
    SettingsReader threeBytes(threeBytesBytes);
    EXPECT_EQ(threeBytes.CompactString(), "ab");
    const std::vector<std::uint8_t> sixBytesBytes = Bytes({255, 255, 1, 0, 0, 0, 'z'});
    SettingsReader sixBytes(sixBytesBytes);
    EXPECT_EQ(sixBytes.CompactString(), "z");
}

TEST(SettingsStreamCompactString, RejectsOversizeAndShortData) {
    const std::vector<std::uint8_t> cases[] = {
        Bytes({255, 255, 0x01, 0x00, 0x00, 0x40}),  // 0x40000001: above the limit
        Bytes({255, 255, 0xFF, 0xFF, 0xFF, 0xFF}),
        Bytes({3, 'a', 'b'}),                       // body past the end
        Bytes({255, 0x00}),                         // 16-bit length cut
        Bytes({255, 255, 1, 0}),                    // 32-bit length cut
        Bytes({255}),
        Bytes({}),
    };
    for (const auto& bytes : cases) {
        SettingsReader reader(bytes);
        EXPECT_FALSE(reader.CompactString());
        EXPECT_EQ(reader.Offset(), 0u) << "a failed read leaves the cursor";
    }
    // The limit itself is allowed; only the length field is needed to see that the body is missing.
    const std::vector<std::uint8_t> atLimitBytes = Bytes({255, 255, 0x00, 0x00, 0x00, 0x40});
    SettingsReader atLimit(atLimitBytes);
    EXPECT_FALSE(atLimit.CompactString());
}

TEST(SettingsStreamStrings, LengthPrefixedForms) {
    SettingsWriter writer;
    writer.String8("ab");
    writer.String16(std::string(300, 'x'));
    writer.String32("");
    writer.String32("xyz");
    SettingsReader reader(writer.Bytes());
    EXPECT_EQ(reader.String8(), "ab");
    EXPECT_EQ(reader.String16(), std::string(300, 'x'));
    EXPECT_EQ(reader.String32(), "");
    EXPECT_EQ(reader.String32(), "xyz");
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_TRUE(writer.Problems().empty());

    const std::vector<std::uint8_t> negativeBytes = Bytes({0xFF, 0xFF, 0xFF, 0xFF});
    SettingsReader negative(negativeBytes);
    EXPECT_FALSE(negative.String32());
    const std::vector<std::uint8_t> hugeBytes = Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a'});
    SettingsReader huge(hugeBytes);
    EXPECT_FALSE(huge.String32());
    const std::vector<std::uint8_t> shortBodyBytes = Bytes({2, 0, 'a'});
    SettingsReader shortBody(shortBodyBytes);
    EXPECT_FALSE(shortBody.String16());
    EXPECT_EQ(shortBody.Offset(), 0u);
}

TEST(SettingsStreamStrings, WriterCutsWhatTheLengthCannotHoldAndSaysSo) {
    SettingsWriter writer;
    writer.SetField("name");
    writer.String8(std::string(256, 'a'));
    ASSERT_EQ(writer.Problems().size(), 1u);
    EXPECT_EQ(writer.Problems()[0].rfind("name: ", 0), 0u);
    SettingsReader reader(writer.Bytes());
    EXPECT_EQ(reader.String8(), std::string(255, 'a'));
}

TEST(SettingsStreamTexts, NulTerminatedTexts) {
    SettingsWriter writer;
    writer.NarrowText("caf\xE9");
    writer.WideText(u"\u00e9t\u00e9");
    writer.NarrowText("");
    writer.WideText(u"");
    SettingsReader reader(writer.Bytes());
    EXPECT_EQ(reader.NarrowText(), "caf\xE9");
    EXPECT_EQ(reader.WideText(), u"\u00e9t\u00e9");
    EXPECT_EQ(reader.NarrowText(), "");
    EXPECT_EQ(reader.WideText(), u"");
    EXPECT_EQ(reader.Remaining(), 0u);

    const std::vector<std::uint8_t> unterminatedBytes = Bytes({'a', 'b'});
    SettingsReader unterminated(unterminatedBytes);
    EXPECT_FALSE(unterminated.NarrowText());
    const std::vector<std::uint8_t> oddWideBytes = Bytes({'a', 0, 0});
    SettingsReader oddWide(oddWideBytes);  // a unit, then half a terminator
    EXPECT_FALSE(oddWide.WideText());
    EXPECT_EQ(oddWide.Offset(), 0u);
}

TEST(SettingsStreamScalars, LittleEndianAndBounds) {
    SettingsWriter writer;
    writer.U8(0xAB);
    writer.U16(0x1234);
    writer.U32(0xDEADBEEF);
    writer.I32(-2);
    writer.Double(-1.5e300);
    writer.Raw("xyz");
    EXPECT_EQ(std::vector<std::uint8_t>(writer.Bytes().begin(), writer.Bytes().begin() + 7),
              Bytes({0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE}));
    SettingsReader reader(writer.Bytes());
    EXPECT_EQ(reader.U8(), 0xAB);
    EXPECT_EQ(reader.U16(), 0x1234);
    EXPECT_EQ(reader.U32(), 0xDEADBEEFu);
    EXPECT_EQ(reader.I32(), -2);
    EXPECT_EQ(reader.Double(), -1.5e300);
    EXPECT_FALSE(reader.Raw(4));
    EXPECT_EQ(reader.Raw(3), "xyz");
    EXPECT_FALSE(reader.U8());
    EXPECT_FALSE(reader.U16());
    EXPECT_FALSE(reader.Double());
}

TEST(SettingsStreamDecoding, Utf16LeAndNarrowText) {
    EXPECT_EQ(DecodeUtf16Le(std::string("A\0\xAC\x20", 4)), u"A\u20ac");
    EXPECT_EQ(DecodeUtf16Le(std::string("A\0B", 3)), u"A") << "an odd last byte is dropped";
    EXPECT_EQ(EncodeUtf16Le(u"A\u20ac"), std::string("A\0\xAC\x20", 4));
    EXPECT_EQ(DecodeNarrowText("\x80 \xE9"), u"\u20ac \u00e9");
    EXPECT_EQ(DecodeNarrowText("|\xE2\x82\xAC"), u"\u20ac");
    EXPECT_EQ(DecodeNarrowText(""), u"");
}

}  // namespace
}  // namespace palisade
