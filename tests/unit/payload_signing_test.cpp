// Installers signed after building keep every check of the installer, and a
// carried uninstaller image becomes the uninstaller byte for byte.
#include <gtest/gtest.h>

#include "payload/installer_image.h"
#include "payload/pe_certificate.h"
#include "payload/section_locator.h"
#include "payload/uninstaller_image.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::InstallerReading;
using testing::kStubPeOffset;
using testing::MakeStub;
using testing::ReadInstaller;

struct SigningCase {
    const char* what;
    std::uint8_t archiveInFile;
    std::int32_t integrityMode;
    bool stripped;
};

const SigningCase kSigningCases[] = {
    {"integrity checksum", 0, 1, false},
    {"integrity checksum, archive in the file", 1, 1, false},
    {"stripped installer, archive in the file", 1, 0, true},
    {"stripped installer, integrity checksum", 0, 1, true},
};

std::vector<PayloadItem> Items() {
    std::vector<PayloadItem> items = testing::SampleItems();
    PayloadItem big;
    big.name = "big.bin";
    big.data = testing::NoiseBytes(9000, 3);  // reaches past the section when kept in the file
    items.push_back(big);
    return items;
}

InstallerBuild Build(const SigningCase& c, const std::vector<std::uint8_t>& uninstaller = {}) {
    InstallerSettings settings = testing::MinimalSettings();
    settings.settingsFlags1 = 0x20;
    settings.archiveInFile = c.archiveInFile;
    settings.integrityMode = c.integrityMode;
    PayloadOptions options;
    options.payloadFlags = c.stripped ? PayloadFlags::kStrippedInstaller : 0;
    options.xzPreset = 1;
    options.chunkSize = 4096;
    return BuildInstallerImage(MakeStub(), settings, Items(), options, uninstaller);
}

// What an Authenticode signing tool does to a PE file: pads it to 8 bytes,
// appends the certificate table, names it in the certificate directory and
// sets the PE checksum.
void SignLikeATool(std::vector<std::uint8_t>& image, std::size_t certificateSize = 0x5e8) {
    image.resize((image.size() + 7) / 8 * 8, 0);
    testing::Put32(image, kStubPeOffset + 152, std::uint32_t(image.size()));
    testing::Put32(image, kStubPeOffset + 156, std::uint32_t(certificateSize));
    testing::Put32(image, kStubPeOffset + 88, 0x000ABCDE);
    std::vector<std::uint8_t> certificate = testing::NoiseBytes(certificateSize, 99);
    image.insert(image.end(), certificate.begin(), certificate.end());
}

TEST(SignedInstaller, SigningAfterTheBuildKeepsEveryCheck) {
    const std::vector<PayloadItem> items = Items();
    for (const SigningCase& c : kSigningCases) {
        InstallerBuild build = Build(c);
        ASSERT_TRUE(build.error.empty()) << c.what << ": " << build.error;
        ASSERT_TRUE(build.notes.empty()) << c.what;
        SignLikeATool(build.image);
        ASSERT_TRUE(CarriesSignature(build.image));
        InstallerReading reading = ReadInstaller(build.image);
        ASSERT_EQ(reading.errorCode, 0) << c.what;
        EXPECT_EQ(reading.entries.size(), items.size()) << c.what;
        if (c.stripped) {
            EXPECT_FALSE(reading.strippedImage.empty());
            EXPECT_FALSE(CarriesSignature(reading.strippedImage)) << c.what << ": no stale signature";
        }
    }
}

TEST(SignedInstaller, ChangesBesideTheSignatureStillFailTheChecksum) {
    InstallerBuild build = Build(kSigningCases[1]);
    ASSERT_TRUE(build.error.empty());
    SignLikeATool(build.image);
    build.image[0x400 + 9] ^= 0x01;
    EXPECT_EQ(ReadInstaller(build.image).errorCode, 40);
}

// A stand-in for the signed uninstaller the builder makes from the stub.
std::vector<std::uint8_t> SignedUninstaller() {
    std::vector<std::uint8_t> image = MakeStub();
    SignLikeATool(image, 0x40);
    return image;
}

TEST(CarriedUninstaller, BecomesTheUninstallerAlsoAfterSigning) {
    const std::vector<std::uint8_t> uninstaller = SignedUninstaller();
    for (const SigningCase& c : {kSigningCases[2], kSigningCases[3]}) {
        InstallerBuild build = Build(c, uninstaller);
        ASSERT_TRUE(build.error.empty()) << c.what << ": " << build.error;
        InstallerReading unsignedReading = ReadInstaller(build.image);
        ASSERT_EQ(unsignedReading.errorCode, 0) << c.what;
        EXPECT_EQ(unsignedReading.strippedImage, uninstaller) << c.what;
        SignLikeATool(build.image);
        InstallerReading reading = ReadInstaller(build.image);
        ASSERT_EQ(reading.errorCode, 0) << c.what;
        EXPECT_EQ(reading.strippedImage, uninstaller) << c.what;
        EXPECT_TRUE(CarriesSignature(reading.strippedImage));
    }
}

TEST(CarriedUninstaller, LiesRightAfterTheArchive) {
    InstallerBuild build = Build(kSigningCases[3], SignedUninstaller());
    ASSERT_TRUE(build.error.empty());
    const SetupSection section = std::get<SetupSection>(LocateSetupSection(MemoryByteSource(build.image)));
    ByteView sectionData = ByteView(build.image).Sub(section.rawPosition, section.rawSize);
    const PayloadHeader header = std::get<PayloadHeader>(ReadPayloadHeader(sectionData));
    std::uint64_t position = CarriedUninstallerPosition(header, section);
    EXPECT_EQ(testing::Get32(build.image, position), kCarriedUninstallerMagic);
    EXPECT_LE(position + kCarriedUninstallerHeaderSize + testing::Get32(build.image, position + 4),
              std::uint64_t(section.rawPosition) + section.rawSize)
        << "inside the section when the archive is";
}

TEST(CarriedUninstaller, ADamagedRecordIsCode42) {
    const std::vector<std::uint8_t> uninstaller = SignedUninstaller();
    for (const SigningCase& c : {kSigningCases[2], kSigningCases[3]}) {
        InstallerBuild build = Build(c, uninstaller);
        ASSERT_TRUE(build.error.empty());
        const SetupSection section = std::get<SetupSection>(LocateSetupSection(MemoryByteSource(build.image)));
        ByteView sectionData = ByteView(build.image).Sub(section.rawPosition, section.rawSize);
        const PayloadHeader header = std::get<PayloadHeader>(ReadPayloadHeader(sectionData));
        std::size_t position = std::size_t(CarriedUninstallerPosition(header, section));
        struct Damage { const char* what; std::size_t at; std::uint8_t flip; };
        for (Damage damage : {Damage{"stored length", position + 4, 0x80}, Damage{"image length", position + 8, 0x01},
                              Damage{"checksum", position + 12, 0x01}, Damage{"stored bytes", position + 40, 0x01}}) {
            std::vector<std::uint8_t> image = build.image;
            image[damage.at] ^= damage.flip;
            EXPECT_EQ(ReadInstaller(image).errorCode, 42) << c.what << ": " << damage.what;
        }
        if (c.archiveInFile) {
            std::vector<std::uint8_t> cut(build.image.begin(), build.image.end() - 1);
            EXPECT_EQ(ReadInstaller(cut).errorCode, 42) << "the file ends inside the record";
        }
    }
}

TEST(CarriedUninstaller, OtherBytesAfterTheArchiveMeanNone) {
    std::vector<std::uint8_t> file(64, 0);
    EXPECT_FALSE(ReadCarriedUninstaller(MemoryByteSource(file), 0).image);
    EXPECT_EQ(ReadCarriedUninstaller(MemoryByteSource(file), 0).errorCode, 0) << "section padding";
    EXPECT_EQ(ReadCarriedUninstaller(MemoryByteSource(file), 60).errorCode, 0) << "too short for a record";
    EXPECT_EQ(ReadCarriedUninstaller(MemoryByteSource(file), 65).errorCode, 0) << "past the end";
    auto record = EncodeCarriedUninstaller(MakeStub(), 1);
    ASSERT_TRUE(record);
    EXPECT_EQ(ReadCarriedUninstaller(MemoryByteSource(*record), 0).image, MakeStub());
    EXPECT_FALSE(EncodeCarriedUninstaller({}, 1)) << "an empty image is no uninstaller";
}

}  // namespace
}  // namespace palisade
