// Short data anywhere in a payload ends in an error code, never in a read outside it.
#include <gtest/gtest.h>

#include "payload/installer_image.h"
#include "payload/item_walker.h"
#include "payload/payload_writer.h"
#include "payload/section_locator.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::MakeStub;
using testing::MinimalSettings;
using testing::ReadInstaller;

std::vector<PayloadItem> SmallItems() {
    std::vector<PayloadItem> items(3);
    items[0].name = "a";
    items[0].data = {1, 2, 3};
    items[1].name = "b";
    items[1].flags = 0x02;
    items[1].shortcutName = std::u16string(1, u'B');  // not from a literal: GCC 12 warns wrongly on that
    items[2].name = "c";
    items[2].kind = EntryKind::MsiPackage;
    items[2].data = {4};
    return items;
}

InstallerBuild SmallInstaller(std::uint32_t payloadFlags, std::uint32_t settingsFlags1, std::uint8_t archiveInFile) {
    InstallerSettings settings = MinimalSettings();
    settings.settingsFlags1 = settingsFlags1;
    settings.archiveInFile = archiveInFile;
    PayloadOptions options;
    options.payloadFlags = payloadFlags;
    options.chunkSize = 9;  // records run across chunks
    options.xzPreset = 0;
    return BuildInstallerImage(MakeStub(), settings, SmallItems(), options);
}

TEST(PayloadTruncation, EveryCutOfTheSectionEndsInAnErrorCode) {
    for (std::uint32_t payloadFlags : {0u, PayloadFlags::kCiphered}) {
        for (std::uint32_t settingsFlags1 : {0u, 0x20u}) {
            InstallerBuild build = SmallInstaller(payloadFlags, settingsFlags1, 0);
            ASSERT_TRUE(build.error.empty());
            ASSERT_EQ(ReadInstaller(build.image).errorCode, 0);
            const SetupSection section = std::get<SetupSection>(LocateSetupSection(MemoryByteSource(build.image)));
            const std::size_t payloadLength = testing::Get32(build.image, section.rawPosition + 27);
            for (std::size_t cut = 0; cut < payloadLength; ++cut) {
                std::vector<std::uint8_t> image(build.image.begin(), build.image.begin() + section.rawPosition + cut);
                testing::InstallerReading reading = ReadInstaller(image);
                EXPECT_TRUE(reading.errorCode != 0 || reading.versionMismatch)
                    << "flags " << payloadFlags << "/" << settingsFlags1 << " cut " << cut;
            }
        }
    }
}

TEST(PayloadTruncation, ACutArchiveInTheFileIsCode46) {
    InstallerBuild build = SmallInstaller(0, 0x20, 1);
    ASSERT_TRUE(build.error.empty());
    ASSERT_EQ(build.notes.size(), 1u) << "so small an archive stays in the section";
    // Force the in-file layout on a larger archive instead.
    std::vector<PayloadItem> items = SmallItems();
    items[0].data = testing::NoiseBytes(6000, 3);
    InstallerSettings settings = MinimalSettings();
    settings.archiveInFile = 1;
    build = BuildInstallerImage(MakeStub(), settings, items, PayloadOptions());
    ASSERT_TRUE(build.notes.empty());
    ASSERT_EQ(ReadInstaller(build.image).errorCode, 0);
    for (std::size_t cut = 1; cut < 6000; cut += 97) {
        std::vector<std::uint8_t> image(build.image.begin(), build.image.end() - cut);
        EXPECT_EQ(ReadInstaller(image).errorCode, 46) << cut;
    }
}

TEST(PayloadTruncation, EveryCutOfTheArchiveStopsTheWalk) {
    for (bool compressed : {false, true}) {
        PayloadOptions options;
        options.chunkSize = 7;
        ArchiveBuild build = EncodeArchive(SmallItems(), compressed, options);
        ASSERT_TRUE(build.error.empty());
        PayloadHeader header;
        header.itemCount = 3;
        header.itemSizes = build.archive.itemSizes;
        PayloadCipher cipher(header);
        for (std::size_t cut = 0; cut < build.archive.bytes.size(); ++cut) {
            // The archive checks are skipped on purpose: the walk itself must stay inside.
            std::vector<std::uint8_t> archive(build.archive.bytes.begin(), build.archive.bytes.begin() + cut);
            ItemWalker walker(header, archive, cipher, compressed);
            ItemStep step;
            FileEntry entry;
            do {
                step = walker.Next(entry);
            } while (step.status == WalkStatus::Item);
            EXPECT_EQ(step.status, WalkStatus::Failed) << "cut " << cut;
            EXPECT_TRUE(step.errorCode == 60 || step.errorCode == 61 || step.errorCode == 63) << step.errorCode;
        }
    }
}

}  // namespace
}  // namespace palisade
