// The builder's side: item stream cutting, and whole installers written with the
// stub and read back in the installer's order.
#include "payload/payload_writer.h"

#include <gtest/gtest.h>

#include "payload/installer_image.h"
#include "payload/pe_appender.h"
#include "payload/pe_layout.h"
#include "payload/section_locator.h"
#include "payload/stripped_installer.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::Get16;
using testing::Get32;
using testing::InstallerReading;
using testing::kStubPeOffset;
using testing::MakeStub;
using testing::MinimalSettings;
using testing::NoiseBytes;
using testing::ReadInstaller;
using testing::SampleItems;

TEST(ItemStreamSplit, ChunksCoverTheStreamAndNeverCutALengthField) {
    const std::vector<std::size_t> fields = {0, 10, 14, 18, 40};  // 14: a record with an empty body
    const std::size_t length = 50;
    for (std::size_t chunkSize = 1; chunkSize <= 60; ++chunkSize) {
        auto chunks = SplitItemStream(length, fields, chunkSize);
        std::size_t next = 0;
        for (auto [offset, size] : chunks) {
            EXPECT_EQ(offset, next) << chunkSize;
            EXPECT_GT(size, 0u);
            EXPECT_TRUE(size <= chunkSize || size == 4) << "only a whole length field may exceed the size";
            for (std::size_t field : fields) {
                std::size_t end = offset + size;
                EXPECT_FALSE(end > field && end < field + 4) << "chunk size " << chunkSize << " cuts field " << field;
            }
            next = offset + size;
        }
        EXPECT_EQ(next, length);
    }
    EXPECT_TRUE(SplitItemStream(0, {}, 100).empty());
}

TEST(ItemStreamSplit, ItemStreamCopiesRangesAcrossItsPieces) {
    std::vector<PayloadItem> items = SampleItems();
    ItemStream stream(items);
    std::vector<std::uint8_t> whole;
    stream.CopyRange(0, stream.Length(), whole);
    std::vector<std::uint8_t> expected;
    for (const PayloadItem& item : items) {
        auto record = testing::RecordWithLength(item);
        expected.insert(expected.end(), record.begin(), record.end());
    }
    EXPECT_EQ(whole, expected);
    std::vector<std::uint8_t> part;
    stream.CopyRange(17, 3100, part);
    EXPECT_EQ(part, std::vector<std::uint8_t>(expected.begin() + 17, expected.begin() + 17 + 3100));
}

TEST(PayloadItems, ItemsTheRecordCannotHoldAreRefused) {
    PayloadItem item;
    EXPECT_FALSE(ValidatePayloadItem(item).empty()) << "empty name";
    item.name = "a";
    EXPECT_TRUE(ValidatePayloadItem(item).empty());
    item.info = std::string("x\0y", 3);
    EXPECT_FALSE(ValidatePayloadItem(item).empty());
    std::vector<PayloadItem> items(1);
    EXPECT_FALSE(EncodeArchive(items, false, PayloadOptions()).error.empty());
}

struct BuildCase {
    const char* what;
    std::uint32_t payloadFlags;
    bool compress;
    std::uint8_t archiveInFile;
    std::int32_t integrityMode;
    std::size_t chunkSize;
};

const BuildCase kBuildCases[] = {
    {"plain", 0, false, 0, 0, kDefaultChunkSize},
    {"compressed", 0, true, 0, 0, kDefaultChunkSize},
    {"ciphered and compressed", PayloadFlags::kCiphered, true, 0, 0, 777},
    {"ciphered, chunks split records", PayloadFlags::kCiphered, false, 0, 0, 13},
    {"archive in the file", 0, true, 1, 0, 4096},
    {"archive in the file, ciphered", PayloadFlags::kCiphered, false, 1, 0, 100},
    {"integrity checksum", 0, true, 0, 1, kDefaultChunkSize},
    {"integrity checksum, archive in the file", PayloadFlags::kCiphered, true, 1, 1, 5000},
    {"stripped installer", PayloadFlags::kStrippedInstaller, true, 0, 1, kDefaultChunkSize},
};

// Sample items plus one large incompressible item, so an archive kept in the
// file reaches past the end of the section.
std::vector<PayloadItem> BuildItems() {
    std::vector<PayloadItem> items = SampleItems();
    PayloadItem big;
    big.name = "big.bin";
    big.data = NoiseBytes(9000, 7);
    items.push_back(big);
    return items;
}

InstallerBuild Build(const BuildCase& c, const std::vector<PayloadItem>& items,
                     const std::vector<std::uint8_t>& stub = MakeStub()) {
    InstallerSettings settings = MinimalSettings();
    settings.settingsFlags1 = c.compress ? 0x20 : 0;
    settings.archiveInFile = c.archiveInFile;
    settings.integrityMode = c.integrityMode;
    PayloadOptions options;
    options.payloadFlags = c.payloadFlags;
    options.payloadKey = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
    options.chunkSize = c.chunkSize;
    options.xzPreset = 1;
    return BuildInstallerImage(stub, settings, items, options);
}

TEST(InstallerImage, WrittenInstallersReadBackInTheInstallersOrder) {
    const std::vector<PayloadItem> items = BuildItems();
    for (const BuildCase& c : kBuildCases) {
        InstallerBuild build = Build(c, items);
        ASSERT_TRUE(build.error.empty()) << c.what << ": " << build.error;
        EXPECT_TRUE(build.notes.empty()) << c.what;
        InstallerReading reading = ReadInstaller(build.image);
        ASSERT_EQ(reading.errorCode, 0) << c.what;
        ASSERT_TRUE(reading.settings) << c.what;
        EXPECT_EQ(reading.settings->displayName, u"Test Product");
        EXPECT_EQ(reading.settings->archiveInFile, c.archiveInFile) << c.what;
        ASSERT_EQ(reading.entries.size(), items.size()) << c.what;
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string difference;
            EXPECT_TRUE(testing::SameItem(items[i], reading.entries[i], difference)) << c.what << ": " << difference;
        }
    }
}

TEST(InstallerImage, ChunksTriedWithTheBranchFilterReadBack) {
    const std::vector<PayloadItem> items = BuildItems();
    for (std::uint32_t flags : {0u, PayloadFlags::kCiphered}) {
        InstallerSettings settings = MinimalSettings();
        settings.settingsFlags1 = 0x20;
        PayloadOptions options;
        options.payloadFlags = flags;
        options.chunkSize = 777;
        options.tryBranchFilter = true;
        InstallerBuild build = BuildInstallerImage(MakeStub(), settings, items, options);
        ASSERT_TRUE(build.error.empty()) << build.error;
        InstallerReading reading = ReadInstaller(build.image);
        ASSERT_EQ(reading.errorCode, 0);
        ASSERT_EQ(reading.entries.size(), items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string difference;
            EXPECT_TRUE(testing::SameItem(items[i], reading.entries[i], difference)) << difference;
        }
    }
}

TEST(AutomaticChunkSize, OneChunkUpToTheBoundThenFullChunks) {
    constexpr std::size_t kMiB = 1u << 20;
    struct Case {
        std::size_t length;
        bool ciphered;
        std::size_t chunks;
    };
    // Plain chunks up to 64 MiB; ciphered ones, which the installer holds whole, up to 16 MiB.
    const Case cases[] = {{0, false, 0},          {1, false, 1},           {100000, false, 1},
                          {64 * kMiB, false, 1},  {64 * kMiB + 1, false, 2}, {214 * kMiB, false, 4},
                          {16 * kMiB, true, 1},   {16 * kMiB + 1, true, 2},  {22 * kMiB, true, 2},
                          {214 * kMiB, true, 14}};
    for (const Case& c : cases) {
        std::size_t size = AutomaticChunkSize(c.length, c.ciphered);
        EXPECT_GE(size, 4096u) << c.length;
        EXPECT_LE(size, c.ciphered ? kMaxXzDictionary : kMaxAutomaticChunkSize) << c.length;
        // Cut as the builder cuts, with a record's length field every 1000 bytes.
        std::vector<std::size_t> fields;
        for (std::size_t at = 0; at + 4 <= c.length; at += 1000) fields.push_back(at);
        EXPECT_EQ(SplitItemStream(c.length, fields, size).size(), c.chunks) << c.length;
    }
}

TEST(InstallerImage, TheSetupSectionIsTheLastAndTheHeadersAgree) {
    std::vector<std::uint8_t> stub = MakeStub();
    InstallerBuild build = Build(kBuildCases[1], BuildItems(), stub);
    ASSERT_TRUE(build.error.empty());
    const std::vector<std::uint8_t>& image = build.image;
    const std::uint32_t pe = kStubPeOffset;
    EXPECT_EQ(Get16(image, pe + 6), 5);
    std::size_t entry = testing::kStubSectionTable + 4 * 40;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[entry]), 6), ".setup");
    std::uint32_t size = Get32(image, entry + 16);
    EXPECT_EQ(size % 0x1000, 0u) << "raw size is a whole number of section alignments";
    EXPECT_EQ(Get32(image, entry + 8), size);
    EXPECT_EQ(Get32(image, entry + 12), 0x5000u) << "after the last section";
    const std::size_t pageAligned = (stub.size() + 0xFFF) & ~std::size_t(0xFFF);
    EXPECT_EQ(Get32(image, entry + 20), pageAligned) << "after the stub, on a page of its own, so it can be mapped";
    EXPECT_EQ(Get32(image, entry + 36), 0x40000040u);
    EXPECT_EQ(image.size(), pageAligned + size);
    EXPECT_EQ(Get32(image, pe + 80), 0x5000u + size);
    EXPECT_EQ(Get32(image, pe + 32), testing::kStubInitializedData + size);
    EXPECT_EQ(Get32(image, pe + 88), 0u) << "checksum cleared";
    EXPECT_TRUE(std::equal(stub.begin() + 0x400, stub.end(), image.begin() + 0x400)) << "section data untouched";
}

TEST(InstallerImage, ArchiveInTheFileFollowsTheSettingsAndEndsTheFile) {
    InstallerBuild build = Build(kBuildCases[4], BuildItems());
    ASSERT_TRUE(build.error.empty());
    auto lookup = LocateSetupSection(MemoryByteSource(build.image));
    const SetupSection& section = std::get<SetupSection>(lookup);
    std::vector<std::uint8_t> mapped(build.image.begin() + section.rawPosition, build.image.end());
    const PayloadHeader header = std::get<PayloadHeader>(ReadPayloadHeader(mapped));
    EXPECT_EQ(std::size_t(header.payloadLength), header.archiveOffset) << "the payload length covers the section part";
    EXPECT_EQ(section.rawPosition + header.archiveOffset + header.archiveLength, build.image.size());
    EXPECT_GE(section.rawPosition + std::uint64_t(section.rawSize), section.rawPosition + header.archiveOffset);
    EXPECT_LE(section.rawPosition + std::uint64_t(section.rawSize), build.image.size());
}

TEST(InstallerImage, ArchiveTooShortForTheFileIsKeptInTheSectionWithANote) {
    BuildCase c = kBuildCases[4];
    std::vector<PayloadItem> items(1);
    items[0].name = "tiny.txt";
    InstallerBuild build = Build(c, items);
    ASSERT_TRUE(build.error.empty()) << build.error;
    EXPECT_EQ(build.notes.size(), 1u);
    InstallerReading reading = ReadInstaller(build.image);
    EXPECT_EQ(reading.errorCode, 0);
    ASSERT_TRUE(reading.settings);
    EXPECT_EQ(reading.settings->archiveInFile, 0);
}

TEST(InstallerImage, NoItemsMakeAnEmptyArchive) {
    for (const BuildCase& c : {kBuildCases[0], kBuildCases[3], kBuildCases[4]}) {
        InstallerBuild build = Build(c, {});
        ASSERT_TRUE(build.error.empty()) << c.what;
        InstallerReading reading = ReadInstaller(build.image);
        EXPECT_EQ(reading.errorCode, 0) << c.what;
        EXPECT_TRUE(reading.entries.empty());
    }
}

TEST(InstallerImage, AChangedHeadFailsTheIntegrityChecksum) {
    InstallerBuild build = Build(kBuildCases[6], BuildItems());
    ASSERT_TRUE(build.error.empty());
    build.image[0x400 + 5] ^= 1;  // in the first section's data
    EXPECT_EQ(ReadInstaller(build.image).errorCode, 40);
    build.image[0x400 + 5] ^= 1;
    build.image[kStubPeOffset + 88] ^= 1;  // the PE checksum field lies outside the range
    EXPECT_EQ(ReadInstaller(build.image).errorCode, 0);
}

TEST(InstallerImage, TheStrippedCopyIsTheStubAgainWithoutTheSection) {
    std::vector<std::uint8_t> stub = MakeStub();
    InstallerBuild build = Build(kBuildCases[8], BuildItems(), stub);
    ASSERT_TRUE(build.error.empty());
    InstallerReading reading = ReadInstaller(build.image);
    ASSERT_EQ(reading.errorCode, 0);
    std::vector<std::uint8_t> expected = stub;
    testing::Put32(expected, kStubPeOffset + 88, 0);
    expected.resize((stub.size() + 0xFFF) & ~std::size_t(0xFFF), 0);  // the padding that put the section on a page
    EXPECT_EQ(reading.strippedImage, expected);
    EXPECT_TRUE(std::holds_alternative<NoSetupSection>(LocateSetupSection(MemoryByteSource(reading.strippedImage))));
    EXPECT_TRUE(InspectStub(reading.strippedImage).error.empty()) << "still a valid image that can take a section";
}

TEST(InstallerImage, StubsThatCannotTakeTheSectionAreRefusedWithAReason) {
    struct Refusal {
        const char* what;
        std::vector<std::uint8_t> stub;
    };
    std::vector<std::uint8_t> truncated = MakeStub();
    truncated.resize(0x100);
    std::vector<std::uint8_t> notMz = MakeStub();
    notMz[0] = 'X';
    std::vector<std::uint8_t> notPe = MakeStub();
    notPe[kStubPeOffset] = 'X';
    testing::StubShape pe32Plus, cramped, few, many, signedStub;
    pe32Plus.optionalMagic = 0x20b;
    cramped.headersSize = testing::kStubSectionTable + 4 * 40 + 20;
    few.sectionCount = 2;
    many.sectionCount = 99;
    many.headersSize = 0x1200;
    signedStub.signedStub = true;
    const Refusal refusals[] = {
        {"not MZ", notMz},          {"not PE", notPe},        {"PE32+", MakeStub(pe32Plus)},
        {"no room", MakeStub(cramped)}, {"too few sections", MakeStub(few)},
        {"too many sections", MakeStub(many)}, {"signed", MakeStub(signedStub)},
        {"truncated", truncated},
    };
    for (const Refusal& r : refusals) {
        InstallerBuild build = Build(kBuildCases[0], SampleItems(), r.stub);
        EXPECT_FALSE(build.error.empty()) << r.what;
        EXPECT_TRUE(build.image.empty()) << r.what;
    }
    EXPECT_NE(Build(kBuildCases[0], SampleItems(), MakeStub(pe32Plus)).error.find("PE32"), std::string::npos);
    EXPECT_NE(Build(kBuildCases[0], SampleItems(), MakeStub(cramped)).error.find("room"), std::string::npos);
}

TEST(InstallerImage, OverlayAfterTheStubStaysInTheHead) {
    testing::StubShape shape;
    shape.trailingBytes = 0x33;
    std::vector<std::uint8_t> stub = MakeStub(shape);
    InstallerBuild build = Build(kBuildCases[8], SampleItems(), stub);
    ASSERT_TRUE(build.error.empty());
    InstallerReading reading = ReadInstaller(build.image);
    ASSERT_EQ(reading.errorCode, 0);
    EXPECT_EQ(reading.strippedImage.size() % 0x200, 0u);
    EXPECT_TRUE(std::equal(stub.begin() + 0x400, stub.end(), reading.strippedImage.begin() + 0x400));
}

}  // namespace
}  // namespace palisade
