// Reading the payload header: every field, every check and its code, and short data.
#include "payload/payload_header.h"

#include <gtest/gtest.h>

#include "payload/payload_writer.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::HeaderFor;
using testing::JoinPayload;
using testing::Put32;

// Offsets of the fixed fields in a written header.
constexpr std::size_t kFlagsAt = 11;
constexpr std::size_t kSettingsSizeAt = 15;
constexpr std::size_t kPayloadLengthAt = 27;
constexpr std::size_t kItemCountAt = 31;
constexpr std::size_t kArchiveLengthAt = 35;
constexpr std::size_t kTableAt = 43;

const std::vector<std::uint8_t> kSettings(10, 0xAB);
const std::vector<std::uint8_t> kArchive = {1, 2, 3};

std::vector<std::uint8_t> ValidPayload(std::vector<std::int32_t> sizes = {5, 0, 7}, std::uint32_t flags = 0) {
    return JoinPayload(HeaderFor(kSettings.size(), kArchive, std::move(sizes), flags), kSettings, kArchive);
}

int CodeOf(const PayloadHeaderRead& read) {
    if (auto* error = std::get_if<PayloadError>(&read)) return error->code;
    if (std::holds_alternative<BuilderVersionMismatch>(read)) return -1;
    return 0;
}

TEST(PayloadHeader, WrittenHeaderReadsBackWithItsOffsets) {
    PayloadHeader written = HeaderFor(kSettings.size(), kArchive, {5, 0, 7}, 0x20 | 0x40);
    written.settingsChecksum = 0x11223344;
    written.fileChecksum = 0x55667788;
    std::vector<std::uint8_t> payload = JoinPayload(written, kSettings, kArchive);
    PayloadHeaderRead read = ReadPayloadHeader(payload);
    ASSERT_TRUE(std::holds_alternative<PayloadHeader>(read)) << CodeOf(read);
    const PayloadHeader& header = std::get<PayloadHeader>(read);
    EXPECT_EQ(header.builderVersion, "44.0.1");
    EXPECT_EQ(header.payloadFlags, 0x60u);
    EXPECT_EQ(header.settingsSize, 10);
    EXPECT_EQ(header.settingsChecksum, 0x11223344u);
    EXPECT_EQ(header.fileChecksum, 0x55667788u);
    EXPECT_EQ(header.payloadLength, std::int32_t(payload.size()));
    EXPECT_EQ(header.itemSizes, (std::vector<std::int32_t>{5, 0, 7}));
    EXPECT_EQ(header.TotalItemSize(), 12u);
    EXPECT_FALSE(header.payloadKey) << "no key field without bit 0x1000";
    EXPECT_EQ(header.settingsOffset, kTableAt + 12) << "the settings follow the size table directly";
    EXPECT_EQ(header.archiveOffset, kTableAt + 12 + kSettings.size());
    EXPECT_EQ(payload[header.archiveOffset], 1);
}

TEST(PayloadHeader, CipheredHeaderCarriesTheKeyBeforeTheSettings) {
    std::vector<std::uint8_t> payload = ValidPayload({9}, PayloadFlags::kCiphered);
    PayloadHeaderRead read = ReadPayloadHeader(payload);
    ASSERT_TRUE(std::holds_alternative<PayloadHeader>(read));
    const PayloadHeader& header = std::get<PayloadHeader>(read);
    ASSERT_TRUE(header.payloadKey);
    EXPECT_EQ((*header.payloadKey)[0], 1);
    EXPECT_EQ((*header.payloadKey)[7], 8);
    EXPECT_EQ(header.settingsOffset, kTableAt + 4 + 8);
}

TEST(PayloadHeader, ItemCountZeroHasAnEmptyTable) {
    std::vector<std::uint8_t> payload = ValidPayload({});
    PayloadHeaderRead read = ReadPayloadHeader(payload);
    ASSERT_TRUE(std::holds_alternative<PayloadHeader>(read));
    EXPECT_TRUE(std::get<PayloadHeader>(read).itemSizes.empty());
    EXPECT_EQ(std::get<PayloadHeader>(read).settingsOffset, kTableAt);
}

struct FieldCase {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
    int code;  // 0: passes
};

const FieldCase kFieldCases[] = {
    {"magic off by one", 0, 0xa4f23de4, 20},
    {"settings size 0", kSettingsSizeAt, 0, 22},
    {"settings size negative", kSettingsSizeAt, 0xFFFFFFFF, 22},
    {"settings size 0x3200000", kSettingsSizeAt, 0x3200000, 22},
    {"settings size beyond the section", kSettingsSizeAt, 64, 22},
    {"payload length negative", kPayloadLengthAt, 0x80000000, 45},
    {"payload length 0 is not checked here", kPayloadLengthAt, 0, 0},
    {"item count negative", kItemCountAt, 0xFFFFFFFF, 27},
    {"archive length negative", kArchiveLengthAt, 0xFFFFFFF0, 29},
    {"item size 0x40000000", kTableAt, 0x40000000, 0},
    {"item size 0x40000001", kTableAt + 8, 0x40000001, 28},
    {"item size negative", kTableAt + 4, 0xFFFFFFFF, 28},
    {"unknown flags are ignored", kFlagsAt, 0xFFFFEFFF, 0},
};

TEST(PayloadHeader, EachCheckRaisesItsCode) {
    for (const FieldCase& c : kFieldCases) {
        std::vector<std::uint8_t> payload = ValidPayload();
        Put32(payload, c.offset, c.value);
        EXPECT_EQ(CodeOf(ReadPayloadHeader(payload)), c.code) << c.what;
    }
}

TEST(PayloadHeader, LargestSettingsSizePassesWhenTheSectionHoldsIt) {
    std::vector<std::uint8_t> settings(0x31fffff, 0);
    std::vector<std::uint8_t> payload = JoinPayload(HeaderFor(settings.size(), {}, {}), settings, {});
    EXPECT_EQ(CodeOf(ReadPayloadHeader(payload)), 0);
}

TEST(PayloadHeader, AHugeItemCountInASmallSectionIsADamagedTable) {
    std::vector<std::uint8_t> payload = ValidPayload();
    Put32(payload, kItemCountAt, 0x7FFFFFFF);
    EXPECT_EQ(CodeOf(ReadPayloadHeader(payload)), 28);
}

TEST(PayloadHeader, AnotherBuilderVersionIsReportedWithTheStoredVersion) {
    std::vector<std::uint8_t> payload = ValidPayload();
    payload[9] = '2';  // "44.0.2"
    PayloadHeaderRead read = ReadPayloadHeader(payload);
    ASSERT_TRUE(std::holds_alternative<BuilderVersionMismatch>(read));
    EXPECT_EQ(std::get<BuilderVersionMismatch>(read).storedVersion, "44.0.2");
    EXPECT_EQ(FormatVersionMismatch(u"Palisade Setup", "44.0.2"),
              u"The installer version (44.0.1) does not match the version of Palisade Setup (44.0.2).  Close all "
              u"applications and reinstall Palisade Setup.");
}

// Where the data ends decides which check fails.
int ExpectedCodeForCut(std::size_t cut, std::size_t keyAt) {
    if (cut < 4) return 20;
    if (cut < kFlagsAt) return -1;  // version without its NUL
    if (cut < kSettingsSizeAt + 4) return 22;
    if (cut < kItemCountAt) return 45;
    if (cut < kArchiveLengthAt) return 27;
    if (cut < kTableAt) return 29;
    if (cut < keyAt) return 28;
    return 22;  // the key or the settings block is cut
}

TEST(PayloadHeader, EveryCutBeforeTheArchiveFailsTheCheckOfTheFieldItCuts) {
    for (std::uint32_t flags : {0u, PayloadFlags::kCiphered}) {
        std::vector<std::uint8_t> payload = ValidPayload({5, 0, 7}, flags);
        std::size_t keyAt = kTableAt + 12;
        std::size_t settingsAt = keyAt + (flags ? 8 : 0);
        for (std::size_t cut = 0; cut < settingsAt + kSettings.size(); ++cut) {
            // An exactly sized copy, so a read past the cut is caught by the sanitizer.
            std::vector<std::uint8_t> shortPayload(payload.begin(), payload.begin() + cut);
            EXPECT_EQ(CodeOf(ReadPayloadHeader(shortPayload)), ExpectedCodeForCut(cut, keyAt))
                << "cut at " << cut << " flags " << flags;
        }
        std::vector<std::uint8_t> whole(payload.begin(), payload.begin() + settingsAt + kSettings.size());
        EXPECT_EQ(CodeOf(ReadPayloadHeader(whole)), 0) << "the archive is not the header's business";
    }
}

}  // namespace
}  // namespace palisade
