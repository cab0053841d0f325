// The icon file reader and the group directory written into the uninstaller.
#include <gtest/gtest.h>

#include "uninstall/icon_resources.h"

#include "payload/little_endian.h"

namespace palisade {
namespace {

// An icon file with a 16x16 picture of 40 bytes and a 32x32 one of 100.
std::vector<std::uint8_t> TwoPictureIcon() {
    std::vector<std::uint8_t> file;
    AppendU16(file, 0);
    AppendU16(file, 1);
    AppendU16(file, 2);
    const std::uint32_t first = 6 + 2 * 16;
    for (auto [size, length, offset] : {std::tuple{16, 40u, first}, std::tuple{32, 100u, first + 40}}) {
        file.push_back(std::uint8_t(size));
        file.push_back(std::uint8_t(size));
        file.push_back(0);
        file.push_back(0);
        AppendU16(file, 1);
        AppendU16(file, 32);
        AppendU32(file, length);
        AppendU32(file, offset);
    }
    file.insert(file.end(), 40, 0xAA);
    file.insert(file.end(), 100, 0xBB);
    return file;
}

TEST(IconResources, PicturesAreFoundWhereTheDirectorySays) {
    std::vector<std::uint8_t> file = TwoPictureIcon();
    std::optional<std::vector<IconImage>> images = ParseIconFile(file);
    ASSERT_TRUE(images.has_value());
    ASSERT_EQ(images->size(), 2u);
    EXPECT_EQ((*images)[0].width, 16);
    EXPECT_EQ((*images)[0].bytes.size, 40u);
    EXPECT_EQ((*images)[0].bytes[0], 0xAA);
    EXPECT_EQ((*images)[1].height, 32);
    EXPECT_EQ((*images)[1].bitCount, 32);
    EXPECT_EQ((*images)[1].bytes.size, 100u);
    EXPECT_EQ((*images)[1].bytes[99], 0xBB);
}

TEST(IconResources, GroupDirectoryNamesThePicturesByResourceId) {
    std::vector<std::uint8_t> file = TwoPictureIcon();
    std::vector<std::uint8_t> group = IconGroupDirectory(*ParseIconFile(file), 7);
    std::vector<std::uint8_t> expected = {0, 0, 1, 0, 2, 0,
                                          16, 16, 0, 0, 1, 0, 32, 0, 40, 0, 0, 0, 7, 0,
                                          32, 32, 0, 0, 1, 0, 32, 0, 100, 0, 0, 0, 8, 0};
    EXPECT_EQ(group, expected);
}

TEST(IconResources, DamagedFilesAreRefused) {
    std::vector<std::uint8_t> good = TwoPictureIcon();
    auto damaged = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> file = good;
        file[at] = value;
        return file;
    };
    EXPECT_FALSE(ParseIconFile(ByteView()).has_value());
    EXPECT_FALSE(ParseIconFile(damaged(2, 2)).has_value()) << "a cursor file";
    EXPECT_FALSE(ParseIconFile(damaged(4, 0)).has_value()) << "no picture";
    EXPECT_FALSE(ParseIconFile(damaged(4, 3)).has_value()) << "a third entry beyond the directory's pictures";
    EXPECT_FALSE(ParseIconFile(damaged(6 + 16 + 8, 101)).has_value()) << "the last picture runs past the end";
    EXPECT_FALSE(ParseIconFile(damaged(6 + 8, 0)).has_value()) << "an empty picture";
    std::vector<std::uint8_t> wrapping = good;
    for (std::size_t i = 0; i < 4; ++i) wrapping[6 + 8 + i] = 0xFF;  // offset + length overflows
    EXPECT_FALSE(ParseIconFile(wrapping).has_value());
    std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 6 + 16);
    EXPECT_FALSE(ParseIconFile(truncated).has_value()) << "the directory itself is cut short";
}

}  // namespace
}  // namespace palisade
