// The executable's head, its integrity checksum and the stripped uninstaller image.
#include "payload/stripped_installer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "payload/crc32.h"
#include "payload/pe_certificate.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::Get16;
using testing::Get32;
using testing::kStubPeOffset;
using testing::kStubSectionTable;
using testing::MakeStub;

// Fails every read that reaches `failFrom` or beyond.
class FailingSource final : public ByteSource {
public:
    FailingSource(const std::vector<std::uint8_t>& bytes, std::uint64_t failFrom) : m_bytes(bytes), m_failFrom(failFrom) {}
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t length) const override {
        if (position + length > m_failFrom) return false;
        return MemoryByteSource(m_bytes).ReadAt(position, buffer, length);
    }
    std::uint64_t Size() const override { return m_bytes.size(); }

private:
    const std::vector<std::uint8_t>& m_bytes;
    std::uint64_t m_failFrom;
};

// The stub's second section (raw data 0x600..0x800) taken as the `.setup` section.
SetupSection SecondSectionAsSetup() {
    SetupSection section;
    section.peHeaderOffset = kStubPeOffset;
    section.sectionCount = 5;
    section.sectionTableOffset = kStubSectionTable;
    section.index = 1;
    section.rawPosition = 0x600;
    section.rawSize = 0x200;
    return section;
}

std::vector<std::uint8_t> FiveSectionStub() {
    testing::StubShape shape;
    shape.sectionCount = 5;
    std::vector<std::uint8_t> stub = MakeStub(shape);
    // Mark the 40 bytes after the table, which move into the freed slot.
    for (std::size_t i = 0; i < 40; ++i) stub[kStubSectionTable + 5 * 40 + i] = std::uint8_t(0xA0 + i);
    return stub;
}

TEST(ExecutableHead, IsEverythingBeforeTheSectionData) {
    std::vector<std::uint8_t> stub = FiveSectionStub();
    ExecutableBytes head = ReadExecutableHead(MemoryByteSource(stub), SecondSectionAsSetup());
    EXPECT_EQ(head.errorCode, 0);
    EXPECT_EQ(head.bytes, std::vector<std::uint8_t>(stub.begin(), stub.begin() + 0x600));
    SetupSection beyond = SecondSectionAsSetup();
    beyond.rawPosition = std::uint32_t(stub.size() + 1);
    EXPECT_EQ(ReadExecutableHead(MemoryByteSource(stub), beyond).errorCode, 35);
    EXPECT_EQ(ReadExecutableHead(FailingSource(stub, 0x100), SecondSectionAsSetup()).errorCode, 35);
}

TEST(StrippedInstaller, RemovesTheEntryAndMovesTheLaterOnesUp) {
    std::vector<std::uint8_t> image = FiveSectionStub();
    ASSERT_TRUE(RemoveSetupSectionEntry(image, SecondSectionAsSetup()));
    EXPECT_EQ(Get16(image, kStubPeOffset + 6), 4);
    EXPECT_EQ(Get32(image, kStubPeOffset + 32), testing::kStubInitializedData - 0x200);
    EXPECT_EQ(Get32(image, kStubPeOffset + 80), 0x6000u - 0x200);
    auto entry = [&](int slot, std::size_t field) { return Get32(image, kStubSectionTable + slot * 40 + field); };
    EXPECT_EQ(entry(1, 12), 0x3000u) << "the third section moved into the second slot";
    EXPECT_EQ(entry(1, 20), 0u) << "a section without raw data keeps position 0";
    EXPECT_EQ(entry(2, 20), 0x600u) << "raw data after the removed data moved down";
    EXPECT_EQ(entry(3, 20), 0x800u);
    EXPECT_EQ(image[kStubSectionTable + 4 * 40], 0xA0) << "the freed slot takes the bytes after the table";
    EXPECT_EQ(image[kStubSectionTable + 4 * 40 + 39], 0xA0 + 39);
}

TEST(StrippedInstaller, RawDataBeforeTheRemovedSectionKeepsItsPosition) {
    std::vector<std::uint8_t> image = FiveSectionStub();
    SetupSection section = SecondSectionAsSetup();
    // Pretend the fifth section's data (0xA00) lies before the `.setup` data.
    testing::Put32(image, kStubSectionTable + 4 * 40 + 20, 0x500);
    ASSERT_TRUE(RemoveSetupSectionEntry(image, section));
    EXPECT_EQ(Get32(image, kStubSectionTable + 3 * 40 + 20), 0x500u);
}

TEST(StrippedInstaller, AHeadTooShortForTheHeadersIsCode35) {
    std::vector<std::uint8_t> stub = FiveSectionStub();
    std::vector<std::uint8_t> head(stub.begin(), stub.begin() + kStubSectionTable + 100);
    std::vector<std::uint8_t> nothingAfter(head);
    SetupSection section = SecondSectionAsSetup();
    section.rawPosition = std::uint32_t(head.size());
    section.rawSize = 0;
    EXPECT_EQ(BuildStrippedInstaller(head, MemoryByteSource(nothingAfter), section).errorCode, 35);
}

TEST(StrippedInstaller, BytesAfterTheSectionAreAppendedOrCode42) {
    std::vector<std::uint8_t> file = FiveSectionStub();
    file.insert(file.end(), {1, 2, 3});
    SetupSection section = SecondSectionAsSetup();
    std::vector<std::uint8_t> head(file.begin(), file.begin() + 0x600);
    ExecutableBytes stripped = BuildStrippedInstaller(head, MemoryByteSource(file), section);
    ASSERT_EQ(stripped.errorCode, 0);
    EXPECT_EQ(stripped.bytes.size(), file.size() - 0x200) << "the uninstaller's size";
    EXPECT_EQ(std::vector<std::uint8_t>(stripped.bytes.end() - 3, stripped.bytes.end()),
              (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(BuildStrippedInstaller(head, FailingSource(file, file.size() - 1), section).errorCode, 42);
}

TEST(IntegrityChecksum, CoversTheHeadFromJustAfterThePeChecksumLeavingOutTheCertificateEntry) {
    std::vector<std::uint8_t> head = FiveSectionStub();
    const std::uint8_t* from = head.data() + kStubPeOffset + 92;
    std::uint32_t expected = Crc32(Crc32(from, 152 - 92), head.data() + kStubPeOffset + 160,
                                   head.size() - kStubPeOffset - 160);
    EXPECT_EQ(IntegrityCrc(head, kStubPeOffset), expected);
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, expected), 0);
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, expected ^ 1), 40);
    // What a signing tool changes in the head: the PE checksum and the certificate entry.
    head[kStubPeOffset + 88] ^= 0xFF;
    testing::Put32(head, kStubPeOffset + 152, 0x12000);
    testing::Put32(head, kStubPeOffset + 156, 0x5e8);
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, expected), 0);
    // Anything else still counts, on either side of the entry.
    for (std::size_t at : {std::size_t(kStubPeOffset) + 151, std::size_t(kStubPeOffset) + 160, head.size() - 1}) {
        std::vector<std::uint8_t> changed = head;
        changed[at] ^= 0x01;
        EXPECT_EQ(CheckIntegrity(changed, kStubPeOffset, expected), 40) << at;
    }
    std::vector<std::uint8_t> shortHead(head.begin(), head.begin() + kStubPeOffset + 91);
    EXPECT_FALSE(IntegrityCrc(shortHead, kStubPeOffset));
    EXPECT_EQ(CheckIntegrity(shortHead, kStubPeOffset, 0), 40);
}

TEST(IntegrityChecksum, InstallersBuiltWithTheEntryInTheRangeStillPass) {
    std::vector<std::uint8_t> head = FiveSectionStub();
    std::uint32_t stored = Crc32(head.data() + kStubPeOffset + 92, head.size() - kStubPeOffset - 92);
    EXPECT_EQ(IntegrityCrcWithCertificateEntry(head, kStubPeOffset), stored);
    EXPECT_NE(IntegrityCrc(head, kStubPeOffset), stored);
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, stored), 0);
    head[kStubPeOffset + 200] ^= 0x01;
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, stored), 40);
}

TEST(IntegrityChecksum, AHeadWithoutACertificateEntryIsCoveredWhole) {
    std::vector<std::uint8_t> head = FiveSectionStub();
    testing::Put32(head, kStubPeOffset + 116, 4);  // data directories 0..3 only
    std::uint32_t whole = Crc32(head.data() + kStubPeOffset + 92, head.size() - kStubPeOffset - 92);
    EXPECT_EQ(IntegrityCrc(head, kStubPeOffset), whole);
}

TEST(StrippedInstaller, LeavesOutTheInstallersSignature) {
    // An installer signed after building: its certificate table follows the `.setup` data.
    std::vector<std::uint8_t> file = FiveSectionStub();
    std::size_t certificate = file.size();
    file.resize(file.size() + 0x30, 0xCE);
    file.insert(file.end(), {7, 7});  // bytes after the table stay
    testing::Put32(file, kStubPeOffset + 152, std::uint32_t(certificate));
    testing::Put32(file, kStubPeOffset + 156, 0x30);
    SetupSection section = SecondSectionAsSetup();
    std::vector<std::uint8_t> head(file.begin(), file.begin() + 0x600);
    ExecutableBytes stripped = BuildStrippedInstaller(head, MemoryByteSource(file), section);
    ASSERT_EQ(stripped.errorCode, 0);
    EXPECT_EQ(stripped.bytes.size(), file.size() - 0x200 - 0x30);
    EXPECT_EQ(Get32(stripped.bytes, kStubPeOffset + 152), 0u);
    EXPECT_EQ(Get32(stripped.bytes, kStubPeOffset + 156), 0u);
    EXPECT_EQ(Get32(stripped.bytes, kStubPeOffset + 88), 0u) << "the installer's PE checksum";
    EXPECT_EQ(std::count(stripped.bytes.begin(), stripped.bytes.end(), 0xCE), 0);
    EXPECT_EQ(stripped.bytes.back(), 7);
    EXPECT_FALSE(CarriesSignature(stripped.bytes));
    EXPECT_TRUE(CarriesSignature(file));
}

}  // namespace
}  // namespace palisade
