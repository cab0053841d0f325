// A valid settings block cut at every byte ends in the error code of the field the data runs out in.
#include <gtest/gtest.h>

#include "settings_test_support.h"

namespace palisade {
namespace {

using settings_testing::FullSettings;

struct FieldSpan {
    const SettingsField* field;
    std::size_t start;
    std::size_t end;
};

std::vector<FieldSpan> Spans(const InstallerSettings& settings) {
    std::vector<FieldSpan> spans;
    SettingsWriter writer;
    for (const SettingsField& field : SettingsSchema()) {
        if (!field.write || (field.present && !field.present(settings))) continue;
        std::size_t start = writer.Bytes().size();
        field.write(writer, settings, field);
        spans.push_back({&field, start, writer.Bytes().size()});
    }
    return spans;
}

// The code a block that ends `missing` bytes into the field (0 = at its first byte) must give.
int ExpectedCode(const SettingsField& field, std::size_t missingAt) {
    switch (field.encoding) {
    case SettingsEncoding::CountedList:
        return missingAt < 4 ? field.checkCode : FatalCode::kSettingsChecksum;
    case SettingsEncoding::EndWordList:
        return field.checkCode;
    case SettingsEncoding::Catalogue:
        if (missingAt == 0) return FatalCode::kLanguageCount;
        return missingAt < 5 ? FatalCode::kMessageCount : FatalCode::kSettingsChecksum;
    case SettingsEncoding::EndMarker:
        return FatalCode::kEndMarker;
    default:
        return field.ShortDataCode();
    }
}

TEST(SettingsTruncation, EveryCutEndsInTheCodeOfItsField) {
    InstallerSettings settings = FullSettings();
    std::vector<std::uint8_t> block = WriteSettings(settings);
    std::vector<FieldSpan> spans = Spans(settings);
    ASSERT_EQ(spans.back().end, block.size());
    std::size_t span = 0;
    for (std::size_t length = 0; length < block.size(); ++length) {
        while (spans[span].end <= length) ++span;
        std::vector<std::uint8_t> cut(block.begin(), block.begin() + length);
        SettingsResult result = ReadSettings(cut, Crc32(cut));
        ASSERT_FALSE(result.settings) << "cut at " << length;
        ASSERT_EQ(result.errorCode, ExpectedCode(*spans[span].field, length - spans[span].start))
            << "cut at " << length << " inside " << spans[span].field->name;
    }
}

TEST(SettingsTruncation, CutBlockWithItsOriginalChecksumIsCode25) {
    std::vector<std::uint8_t> block = WriteSettings(FullSettings());
    std::uint32_t checksum = Crc32(block);
    for (std::size_t length = 0; length < block.size(); length += 7) {
        std::vector<std::uint8_t> cut(block.begin(), block.begin() + length);
        EXPECT_EQ(ReadSettings(cut, checksum).errorCode, 25) << "cut at " << length;
    }
}

TEST(SettingsTruncation, CatalogueCountsBeyondTheBlockFailEarly) {
    // 200 languages of 10000 messages claimed by a block of a few bytes.
    InstallerSettings settings = FullSettings();
    std::vector<std::uint8_t> block = WriteSettings(settings);
    std::size_t at = settings_testing::FieldOffset(settings, "messageCatalogue");
    block.resize(at);
    std::vector<std::uint8_t> counts = {200, 0x10, 0x27, 0, 0, 'E', 0};
    block.insert(block.end(), counts.begin(), counts.end());
    EXPECT_EQ(settings_testing::ReadWithGoodChecksum(block).errorCode, 25);
}

}  // namespace
}  // namespace palisade
