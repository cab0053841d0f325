// The real stub reads payloads made by the builder's code: good ones to the
// end of the item walk, damaged ones into the corrupt-installer message with
// the code of the check that fails.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/byte_source.h"
#include "payload/crc32.h"
#include "payload/installer_image.h"
#include "payload/section_locator.h"
#include "payload_layout.h"
#include "wine_harness.h"

namespace palisade::wine {
namespace {

// A marker inside the first item's data, easy to find in a plain archive.
const std::string kDataMarker = "PALISADE-ITEM-DATA";

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct InstallerOptions {
    bool compressChunks = true;
    bool ciphered = false;
    bool archiveInFile = false;
    std::int32_t integrityMode = 0;
};

std::vector<std::uint8_t> BuildInstaller(const InstallerOptions& options) {
    InstallerSettings settings;
    settings.displayName = u"Payload Test";
    settings.messageCatalogue = MessageCatalogue({u"English"}, 100);
    if (options.compressChunks) settings.settingsFlags1 |= 0x20;
    settings.archiveInFile = options.archiveInFile ? 1 : 0;
    settings.integrityMode = options.integrityMode;

    std::vector<PayloadItem> items(3);
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].name = "file" + std::to_string(i) + ".txt";
        std::string text = (i == 0 ? kDataMarker : "") + std::string(1000 * (i + 1), char('a' + i));
        items[i].data.assign(text.begin(), text.end());
    }
    PayloadOptions payloadOptions;
    payloadOptions.chunkSize = 1500;  // records continue across chunks
    if (options.ciphered) {
        payloadOptions.payloadFlags |= 0x1000;
        payloadOptions.payloadKey = {1, 2, 3, 4, 5, 6, 7, 8};
    }
    InstallerBuild build = BuildInstallerImage(ReadBytes(StubPath()), settings, items, payloadOptions);
    EXPECT_TRUE(build.error.empty()) << build.error;
    return build.image;
}

RunResult RunInstaller(const std::string& name, const std::vector<std::uint8_t>& image) {
    std::filesystem::path path = ArtefactDir() / (name + ".exe");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
    return RunProgram(path, WithArguments({"/silent"}));
}

// A good installer is read to the end of its walk: every item is installed.
void ExpectVerified(const std::string& name, const InstallerOptions& options) {
    std::filesystem::path folder = HostPath("C:\\Program Files (x86)\\Payload Test");
    std::filesystem::remove_all(folder);
    RunResult r = RunInstaller(name, BuildInstaller(options));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    std::ifstream last(folder / "file2.txt", std::ios::binary);
    std::string contents{std::istreambuf_iterator<char>(last), std::istreambuf_iterator<char>()};
    EXPECT_EQ(contents, std::string(3000, 'c')) << name << ": " << r.debugOutput;
}

void ExpectErrorCode(const std::string& name, const std::vector<std::uint8_t>& image, int code) {
    RunResult r = RunInstaller(name, image);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.debugOutput.find("This installation program is corrupt."), std::string::npos) << r.debugOutput;
    EXPECT_NE(r.debugOutput.find("Error code: " + std::to_string(code) + "\n"), std::string::npos)
        << "expected code " << code << ", got: " << r.debugOutput;
}

TEST(StubPayload, GoodInstallersAreReadToTheEndOfTheWalk) {
    ExpectVerified("good-compressed", {});
    ExpectVerified("good-ciphered", {true, true, false, 0});
    ExpectVerified("good-archive-in-file", {true, false, true, 0});
    ExpectVerified("good-integrity-crc", {true, false, false, 1});
    ExpectVerified("good-plain-chunks", {false, false, false, 0});
}

TEST(StubPayload, DamagedHeaderFieldsGiveTheirCodes) {
    const std::vector<std::uint8_t> good = BuildInstaller({});
    const Layout at = Locate(good);
    struct Case { const char* name; std::size_t field; std::uint32_t value; int code; };
    const Case cases[] = {
        {"bad-magic", 0, 0x12345678, 20},
        {"bad-settings-size", kSettingsSizeField, 0, 22},
        {"bad-payload-length", kPayloadLengthField, 0xFFFFFFFF, 45},
        {"bad-item-count", kItemCountField, 0xFFFFFFFF, 27},
        {"bad-archive-length", kArchiveLengthField, 0xFFFFFFFF, 29},
        {"bad-item-size", kItemSizeTable, 0x40000001, 28},
        {"bad-archive-checksum", kArchiveChecksumField, 0, 55},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> image = good;
        Put32(image, at.payload + c.field, c.value);
        ExpectErrorCode(c.name, image, c.code);
    }
}

TEST(StubPayload, DamagedSettingsAndArchiveGiveTheirCodes) {
    const std::vector<std::uint8_t> good = BuildInstaller({});
    const Layout at = Locate(good);

    std::vector<std::uint8_t> settings = good;
    settings[at.settings] ^= 0xFF;  // the xz magic no longer matches
    ExpectErrorCode("bad-settings-block", settings, 47);

    std::vector<std::uint8_t> chunkBytes = good;
    chunkBytes[at.archive + 8] ^= 0xFF;
    std::uint32_t archiveLength = Get32(chunkBytes, at.payload + kArchiveLengthField);
    Put32(chunkBytes, at.payload + kArchiveChecksumField, Crc32(&chunkBytes[at.archive], archiveLength));
    ExpectErrorCode("bad-chunk-checksum", chunkBytes, 62);

    std::vector<std::uint8_t> emptyChunk = good;
    Put32(emptyChunk, at.archive, 0);
    ResealArchive(emptyChunk, at);
    ExpectErrorCode("zero-chunk-size", emptyChunk, 61);

    std::vector<std::uint8_t> hugeChunk = good;
    Put32(hugeChunk, at.archive, 0x7FFFFFFF);
    ResealArchive(hugeChunk, at);
    ExpectErrorCode("oversized-chunk", hugeChunk, 63);
}

TEST(StubPayload, DamagedItemDataGivesCode100) {
    std::vector<std::uint8_t> image = BuildInstaller({false, false, false, 0});
    const Layout at = Locate(image);
    auto found = std::search(image.begin() + at.archive, image.end(), kDataMarker.begin(), kDataMarker.end());
    ASSERT_NE(found, image.end());
    *found ^= 0x20;
    ResealArchive(image, at);
    ExpectErrorCode("bad-item-data", image, 100);
}

TEST(StubPayload, ChangedHeadFailsIntegrityMode1) {
    std::vector<std::uint8_t> image = BuildInstaller({true, false, false, 1});
    const Layout at = Locate(image);
    // A byte of the header padding after the section table: the loader does
    // not look at it, the checksum covers it.
    std::size_t padding = at.section.sectionTableOffset + at.section.sectionCount * 40u + 8;
    std::uint32_t sizeOfHeaders = Get32(image, at.section.peHeaderOffset + 24 + 60);
    ASSERT_LT(padding, sizeOfHeaders);
    ASSERT_EQ(image[padding], 0);
    image[padding] ^= 0x01;
    ExpectErrorCode("bad-integrity", image, 40);
}

TEST(StubPayload, PayloadForAnotherStubVersionIsRefusedByName) {
    std::vector<std::uint8_t> image = BuildInstaller({});
    const Layout at = Locate(image);
    std::memcpy(&image[at.payload + kVersionField], "43.9.9", 6);
    RunResult r = RunInstaller("other-version", image);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.debugOutput.find("The installer version (44.0.1) does not match the version of Palisade Setup "
                                 "(43.9.9).  Close all applications and reinstall Palisade Setup."),
              std::string::npos)
        << r.debugOutput;
}

}  // namespace
}  // namespace palisade::wine

namespace palisade::wine {
namespace {

TEST(StubPayload, UnsignedInstallerFailsIntegrityMode2WithTheVerifierResult) {
    RunResult r = RunInstaller("unsigned-integrity-signature", BuildInstaller({true, false, false, 2}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 1);
    // No signature: result 1, reported as 1000 + 1 with the system error.
    EXPECT_NE(r.debugOutput.find("Error code: 1001\r\nSystem error, code 0x800B0100: "), std::string::npos)
        << r.debugOutput;
}

}  // namespace
}  // namespace palisade::wine
