// Locating the `.setup` section on crafted PE images.
#include "payload/section_locator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace palisade {
namespace {

struct ImageShape {
    std::uint32_t peOffset = 128;
    std::uint16_t sectionCount = 5;
    std::uint16_t optionalHeaderSize = 224;
    int setupIndex = 4;  // -1: no `.setup` entry
    std::uint32_t setupRawPosition = 0x2000;
};

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}

std::vector<std::uint8_t> MakeImage(const ImageShape& shape) {
    std::vector<std::uint8_t> image(0x3000, 0);
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 60, shape.peOffset);
    std::size_t pe = shape.peOffset;
    if (pe + 24 > image.size()) return image;
    std::memcpy(&image[pe], "PE\0\0", 4);
    Put16(image, pe + 6, shape.sectionCount);
    Put16(image, pe + 20, shape.optionalHeaderSize);
    std::size_t table = pe + 24 + shape.optionalHeaderSize;
    for (int i = 0; i < shape.sectionCount && table + (i + 1) * 40 <= image.size(); ++i) {
        std::size_t entry = table + std::size_t(i) * 40;
        std::string name = i == shape.setupIndex ? ".setup" : ".sec" + std::to_string(i);
        std::memcpy(&image[entry], name.data(), name.size());
        Put32(image, entry + 12, 0x1000u * (i + 1));
        Put32(image, entry + 16, 0x200);
        Put32(image, entry + 20, i == shape.setupIndex ? shape.setupRawPosition : 0x400u * (i + 1));
    }
    return image;
}

SectionLookup Locate(const ImageShape& shape) {
    std::vector<std::uint8_t> image = MakeImage(shape);
    return LocateSetupSection(MemoryByteSource(image));
}

int ErrorCode(const SectionLookup& lookup) {
    auto* error = std::get_if<SectionError>(&lookup);
    return error ? error->code : 0;
}

TEST(SectionLocator, FindsTheSetupEntry) {
    SectionLookup lookup = Locate({});
    ASSERT_TRUE(std::holds_alternative<SetupSection>(lookup));
    const SetupSection& s = std::get<SetupSection>(lookup);
    EXPECT_EQ(s.index, 4);
    EXPECT_EQ(s.virtualAddress, 0x5000u);
    EXPECT_EQ(s.rawSize, 0x200u);
    EXPECT_EQ(s.rawPosition, 0x2000u);
    EXPECT_EQ(s.sectionTableOffset, 128u + 24u + 224u);
}

TEST(SectionLocator, PeHeaderOffsetMustLieWithin64And4096) {
    for (std::uint32_t offset : {3u, 63u, 4097u, 0xFFFFu}) {
        ImageShape shape;
        shape.peOffset = offset;
        EXPECT_EQ(ErrorCode(Locate(shape)), 43) << offset;
    }
    for (std::uint32_t offset : {64u, 4096u}) {
        ImageShape shape;
        shape.peOffset = offset;
        shape.optionalHeaderSize = 0;
        EXPECT_TRUE(std::holds_alternative<SetupSection>(Locate(shape))) << offset;
    }
}

TEST(SectionLocator, SectionCountMustLieWithin4And99) {
    for (std::uint16_t count : {0, 3, 100, 0xFFFF}) {
        ImageShape shape;
        shape.sectionCount = count;
        shape.setupIndex = -1;
        EXPECT_EQ(ErrorCode(Locate(shape)), 44) << count;
    }
    for (std::uint16_t count : {4, 99}) {
        ImageShape shape;
        shape.sectionCount = count;
        shape.setupIndex = 3;
        EXPECT_TRUE(std::holds_alternative<SetupSection>(Locate(shape))) << count;
    }
}

TEST(SectionLocator, ImageWithoutSetupEntryHasNoInstallationData) {
    ImageShape shape;
    shape.setupIndex = -1;
    EXPECT_TRUE(std::holds_alternative<NoSetupSection>(Locate(shape)));
}

TEST(SectionLocator, ZeroRawPositionIsCode9) {
    ImageShape shape;
    shape.setupRawPosition = 0;
    EXPECT_EQ(ErrorCode(Locate(shape)), 9);
}

TEST(SectionLocator, NameMustMatchAsNulTerminatedString) {
    std::vector<std::uint8_t> image = MakeImage({});
    std::size_t entry = 128 + 24 + 224 + 4 * 40;
    image[entry + 6] = 'X';  // ".setupX"
    EXPECT_TRUE(std::holds_alternative<NoSetupSection>(LocateSetupSection(MemoryByteSource(image))));
}

TEST(SectionLocator, TruncatedImagesNeverReadOutside) {
    std::vector<std::uint8_t> full = MakeImage({});
    for (std::size_t size : {0u, 61u, 62u, 134u, 200u, 500u, 540u, 550u}) {
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + size);
        SectionLookup lookup = LocateSetupSection(MemoryByteSource(cut));
        if (size < 62) EXPECT_EQ(ErrorCode(lookup), 43) << size;
        else if (size < 136) EXPECT_EQ(ErrorCode(lookup), 44) << size;
        else EXPECT_TRUE(std::holds_alternative<NoSetupSection>(lookup)) << size;
    }
}

}  // namespace
}  // namespace palisade
