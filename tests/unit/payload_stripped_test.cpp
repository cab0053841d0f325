// The executable's head, its integrity checksum and the stripped uninstaller image.
#include "payload/stripped_installer.h"

#include <gtest/gtest.h>

#include "payload/crc32.h"
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

TEST(IntegrityChecksum, CoversTheHeadFromJustAfterThePeChecksum) {
    std::vector<std::uint8_t> head = FiveSectionStub();
    std::uint32_t expected = Crc32(head.data() + kStubPeOffset + 92, head.size() - kStubPeOffset - 92);
    EXPECT_EQ(IntegrityCrc(head, kStubPeOffset), expected);
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, expected), 0);
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, expected ^ 1), 40);
    head[kStubPeOffset + 88] ^= 0xFF;  // the PE checksum itself is outside the range
    EXPECT_EQ(CheckIntegrity(head, kStubPeOffset, expected), 0);
    std::vector<std::uint8_t> shortHead(head.begin(), head.begin() + kStubPeOffset + 91);
    EXPECT_FALSE(IntegrityCrc(shortHead, kStubPeOffset));
    EXPECT_EQ(CheckIntegrity(shortHead, kStubPeOffset, 0), 40);
}

}  // namespace
}  // namespace palisade
