// Each check of the settings block, reached by a crafted block, with the boundary values that pass.
#include <gtest/gtest.h>

#include <functional>

#include "settings_test_support.h"

namespace palisade {
namespace {

using settings_testing::FieldOffset;
using settings_testing::FullSettings;
using settings_testing::PatchI32;
using settings_testing::ReadWithGoodChecksum;

struct CheckCase {
    const char* name;
    std::function<void(InstallerSettings&)> change;
    int expectedCode;  // 0: the block must be read
};

template <typename T>
std::vector<T> Entries(std::size_t count, const T& entry) {
    return std::vector<T>(count, entry);
}

MessageCatalogue Catalogue(std::size_t languages, std::size_t messages) {
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < languages; ++i) names.push_back(u"L" + std::u16string(1, char16_t(u'A' + i % 26)));
    return MessageCatalogue(names, messages);
}

const CheckCase kCases[] = {
    {"status delay 9999", [](InstallerSettings& s) { s.statusDelay = 9999; }, 0},
    {"status delay 10000", [](InstallerSettings& s) { s.statusDelay = 10000; }, 19},
    {"bitmap size 0", [](InstallerSettings& s) { s.bitmapSize = 0; }, 0},
    {"bitmap size 100", [](InstallerSettings& s) { s.bitmapSize = 100; }, 0},
    {"bitmap size 101", [](InstallerSettings& s) { s.bitmapSize = 101; }, 39},
    {"bitmap size -1", [](InstallerSettings& s) { s.bitmapSize = -1; }, 39},
    {"20 licence texts", [](InstallerSettings& s) { s.licenceTexts = Entries(20, ByteBlob{'x'}); }, 0},
    {"21 licence texts", [](InstallerSettings& s) { s.licenceTexts = Entries(21, ByteBlob{'x'}); }, 24},
    {"20 readme texts", [](InstallerSettings& s) { s.readmeTexts = Entries(20, ByteBlob{}); }, 0},
    {"21 readme texts", [](InstallerSettings& s) { s.readmeTexts = Entries(21, ByteBlob{}); }, 26},
    {"1 language", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(1, 3); }, 0},
    {"200 languages", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(200, 2); }, 0},
    {"201 languages", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(201, 2); }, 30},
    {"0 languages", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(0, 2); }, 30},
    {"1 message", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(2, 1); }, 0},
    {"10000 messages", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(1, 10000); }, 0},
    {"10001 messages", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(1, 10001); }, 31},
    {"0 messages", [](InstallerSettings& s) { s.messageCatalogue = Catalogue(2, 0); }, 31},
    {"1000 associations", [](InstallerSettings& s) { s.fileAssociations = Entries(1000, FileAssociation{}); }, 0},
    {"1001 associations", [](InstallerSettings& s) { s.fileAssociations = Entries(1001, FileAssociation{}); }, 36},
    {"1000 uninstall values", [](InstallerSettings& s) { s.uninstallValues = Entries(1000, UninstallValue{}); }, 0},
    {"1001 uninstall values", [](InstallerSettings& s) { s.uninstallValues = Entries(1001, UninstallValue{}); }, 37},
    {"1000 deletions", [](InstallerSettings& s) { s.fileDeletions = Entries(1000, FileDeletion{"a", 0, "", 0}); }, 0},
    {"1001 deletions", [](InstallerSettings& s) { s.fileDeletions = Entries(1001, FileDeletion{"a", 0, "", 0}); }, 38},
    {"1000 windows", [](InstallerSettings& s) { s.autoCloseEntries = Entries(1000, AutoCloseEntry{}); }, 0},
    {"1001 windows", [](InstallerSettings& s) { s.autoCloseEntries = Entries(1001, AutoCloseEntry{}); }, 41},
    {"1000 shortcuts", [](InstallerSettings& s) { s.authorShortcuts = Entries(1000, AuthorShortcut{}); }, 0},
    {"1001 shortcuts", [](InstallerSettings& s) { s.authorShortcuts = Entries(1001, AuthorShortcut{}); }, 48},
};

class SettingsChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(SettingsChecks, ValueDecides) {
    InstallerSettings settings = FullSettings();
    GetParam().change(settings);
    SettingsResult result = ReadWithGoodChecksum(WriteSettings(settings));
    EXPECT_EQ(result.errorCode, GetParam().expectedCode);
    EXPECT_EQ(result.settings.has_value(), GetParam().expectedCode == 0);
    if (result.settings) {
        EXPECT_EQ(*result.settings, settings);
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, SettingsChecks, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CheckCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

struct NegativeCount {
    const char* field;
    int expectedCode;
};

TEST(SettingsChecksNegative, NegativeCountsFailTheirCheck) {
    const NegativeCount cases[] = {{"licenceTexts", 24}, {"readmeTexts", 26}, {"fileAssociations", 36},
                                   {"authorShortcuts", 48}, {"uninstallValues", 37}};
    const InstallerSettings settings = FullSettings();
    for (const NegativeCount& c : cases) {
        std::vector<std::uint8_t> block = WriteSettings(settings);
        PatchI32(block, FieldOffset(settings, c.field), -1);
        EXPECT_EQ(ReadWithGoodChecksum(block).errorCode, c.expectedCode) << c.field;
    }
}

TEST(SettingsChecksChecksum, WrongChecksumIsCode25) {
    std::vector<std::uint8_t> block = WriteSettings(FullSettings());
    EXPECT_EQ(ReadSettings(block, Crc32(block)).errorCode, 0);
    EXPECT_EQ(ReadSettings(block, Crc32(block) ^ 0x80000000u).errorCode, 25);
    EXPECT_EQ(ReadSettings({}, 0).errorCode, 25) << "an empty block, as a cipher framing failure leaves";
}

TEST(SettingsChecksChecksum, ChecksumIsTestedBeforeRowSeven) {
    InstallerSettings settings = FullSettings();
    settings.statusDelay = 10000;
    std::vector<std::uint8_t> block = WriteSettings(settings);
    EXPECT_EQ(ReadSettings(block, Crc32(block) + 1).errorCode, 25);
    EXPECT_EQ(ReadSettings(block, Crc32(block)).errorCode, 19);
}

TEST(SettingsChecksEndMarker, WrongOrMissingEndMarkerIsCode32) {
    std::vector<std::uint8_t> block = WriteSettings(FullSettings());
    std::vector<std::uint8_t> wrong = block;
    wrong.back() ^= 1;
    EXPECT_EQ(ReadWithGoodChecksum(wrong).errorCode, 32);
    std::vector<std::uint8_t> cut(block.begin(), block.end() - 1);
    EXPECT_EQ(ReadWithGoodChecksum(cut).errorCode, 32);
    std::vector<std::uint8_t> longer = block;
    longer.push_back(0xAA);
    EXPECT_EQ(ReadWithGoodChecksum(longer).errorCode, 0) << "bytes after the end marker are not read";
}

TEST(SettingsChecksMalformed, MalformedLengthsFailWithTheChecksumCode) {
    const InstallerSettings settings = FullSettings();
    std::vector<std::uint8_t> block = WriteSettings(settings);
    std::vector<std::uint8_t> negative = block;
    PatchI32(negative, FieldOffset(settings, "desktopFolderIcon"), -2);  // a string32
    EXPECT_EQ(ReadWithGoodChecksum(negative).errorCode, 25);

    std::vector<std::uint8_t> oversized = block;  // taskbarText: 255, 255, then a 4-byte length
    std::size_t at = FieldOffset(settings, "taskbarText");
    std::vector<std::uint8_t> longForm = {255, 255, 0x01, 0x00, 0x00, 0x40};
    oversized.erase(oversized.begin() + at, oversized.begin() + at + 1);
    oversized.insert(oversized.begin() + at, longForm.begin(), longForm.end());
    EXPECT_EQ(ReadWithGoodChecksum(oversized).errorCode, 25);
}

TEST(SettingsChecksMalformed, DeletionListWithoutEndWordIsCode38) {
    InstallerSettings settings = FullSettings();
    std::vector<std::uint8_t> block = WriteSettings(settings);
    std::size_t at = FieldOffset(settings, "fileDeletions");
    std::size_t end = FieldOffset(settings, "fileAssociations");
    block.resize(end - 1);  // cut inside the end word
    EXPECT_EQ(ReadWithGoodChecksum(block).errorCode, 38);
    EXPECT_LT(at, end);
}

}  // namespace
}  // namespace palisade
