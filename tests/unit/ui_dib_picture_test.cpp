// Pictures: reading BMP files in the forms the settings and the stub carry,
// every truncation and bad field refused, the packed artwork, the scaled
// button pictures and the palettes of transparent drawing.
#include <gtest/gtest.h>

#include <functional>

#include "payload/little_endian.h"
#include "payload/xz_codec.h"
#include "ui/dib_picture.h"

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct BmpShape {
    int width = 3;
    int height = 2;
    int bits = 24;
    bool topDown = false;
    std::uint32_t infoSize = 40;
    std::uint32_t compression = 0;
    std::vector<Colour> palette;
};

BmpShape Shape(int width, int height, int bits, bool topDown = false, std::uint32_t infoSize = 40,
               std::uint32_t compression = 0, std::vector<Colour> palette = {}) {
    return {width, height, bits, topDown, infoSize, compression, std::move(palette)};
}

// A BMP whose pixel (x, y), y from the top, is `pixel(x, y)`: a palette index,
// or 0x00BBGGRR (with alpha in the top byte for 32 bits).
Bytes MakeBmp(const BmpShape& shape, const std::function<std::uint32_t(int, int)>& pixel) {
    const int stride = ((shape.width * shape.bits + 31) / 32) * 4;
    const bool masks = shape.compression == 3;
    const std::uint32_t headerBytes = 14 + shape.infoSize + (masks && shape.infoSize == 40 ? 12 : 0);
    const std::uint32_t pixelOffset = headerBytes + std::uint32_t(shape.palette.size()) * 4;
    Bytes out = {'B', 'M'};
    AppendU32(out, pixelOffset + std::uint32_t(stride * shape.height));
    AppendU32(out, 0);
    AppendU32(out, pixelOffset);
    AppendU32(out, shape.infoSize);
    AppendI32(out, shape.width);
    AppendI32(out, shape.topDown ? -shape.height : shape.height);
    AppendU16(out, 1);
    AppendU16(out, std::uint16_t(shape.bits));
    AppendU32(out, shape.compression);
    for (int i = 0; i < 3; ++i) AppendU32(out, 0);
    AppendU32(out, std::uint32_t(shape.palette.size()));
    AppendU32(out, 0);
    out.resize(14 + shape.infoSize, 0);
    if (masks) {
        const std::size_t at = shape.infoSize == 40 ? out.size() : 14 + 40;
        if (shape.infoSize == 40) out.resize(out.size() + 12);
        StoreU32(&out[at], 0x00FF0000), StoreU32(&out[at + 4], 0x0000FF00), StoreU32(&out[at + 8], 0x000000FF);
    }
    for (Colour c : shape.palette) out.insert(out.end(), {std::uint8_t(BlueOf(c)), std::uint8_t(GreenOf(c)), std::uint8_t(RedOf(c)), 0});
    for (int row = 0; row < shape.height; ++row) {
        const int y = shape.topDown ? row : shape.height - 1 - row;
        Bytes line;
        for (int x = 0; x < shape.width; ++x) {
            std::uint32_t v = pixel(x, y);
            if (shape.bits == 8) {
                line.push_back(std::uint8_t(v));
            } else if (shape.bits == 4) {
                if (x % 2 == 0) line.push_back(std::uint8_t(v << 4));
                else line.back() |= std::uint8_t(v & 0xF);
            } else {
                line.insert(line.end(), {std::uint8_t(BlueOf(v)), std::uint8_t(GreenOf(v)), std::uint8_t(RedOf(v))});
                if (shape.bits == 32) line.push_back(std::uint8_t(v >> 24));
            }
        }
        line.resize(std::size_t(stride), 0);
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::uint32_t Diagonal(int x, int y) { return MakeColour(10 * x, 20 * y, 100 + x + y); }

TEST(DibPicture, ReadsEveryFormTheProgramShows) {
    struct Case {
        const char* name;
        BmpShape shape;
    } cases[] = {
        {"24 bits, bottom-up", Shape(3, 2, 24)},
        {"24 bits, top-down", Shape(3, 2, 24, true)},
        {"32 bits", Shape(3, 2, 32)},
        {"32 bits with bit fields", Shape(3, 2, 32, false, 40, 3)},
        {"32 bits with bit fields in a long header", Shape(3, 2, 32, false, 124, 3)},
        {"24 bits with a long header", Shape(5, 3, 24, false, 108)},
    };
    for (const Case& c : cases) {
        std::optional<DibPicture> picture = ReadBmpFile(ByteView(MakeBmp(c.shape, Diagonal)));
        ASSERT_TRUE(picture) << c.name;
        EXPECT_EQ(picture->width, c.shape.width) << c.name;
        EXPECT_EQ(picture->height, c.shape.height) << c.name;
        EXPECT_EQ(picture->bitsPerPixel, c.shape.bits) << c.name;
        for (int y = 0; y < c.shape.height; ++y) {
            for (int x = 0; x < c.shape.width; ++x) EXPECT_EQ(PixelAt(*picture, x, y), Diagonal(x, y)) << c.name;
        }
    }
}

TEST(DibPicture, ReadsPalettesOfFourAndEightBits) {
    const std::vector<Colour> palette = {0x0000FF, 0x00FF00, 0xFF0000};
    for (int bits : {4, 8}) {
        std::optional<DibPicture> picture =
            ReadBmpFile(ByteView(MakeBmp(Shape(5, 2, bits, false, 40, 0, palette), [](int x, int y) { return (x + y) % 3; })));
        ASSERT_TRUE(picture) << bits;
        EXPECT_EQ(picture->palette.size(), 3u);
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(*picture, x, 1), palette[std::size_t((x + 1) % 3)]) << bits;
    }
}

TEST(DibPicture, RefusesEveryTruncationAndBadField) {
    const Bytes good = MakeBmp(Shape(3, 2, 24), Diagonal);
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(ReadBmpFile(ByteView(good.data(), length))) << "cut at " << length;
    }
    auto changed = [&good](std::size_t at, std::uint32_t value, int width) {
        Bytes bad = good;
        if (width == 2) StoreU16(&bad[at], std::uint16_t(value));
        else StoreU32(&bad[at], value);
        return bad;
    };
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"not BM", [&] { Bytes b = good; b[0] = 'X'; return b; }()},
        {"header longer than the file", changed(14, 4000, 4)},
        {"header shorter than 40", changed(14, 12, 4)},
        {"width 0", changed(18, 0, 4)},
        {"negative width", changed(18, 0xFFFFFFFF, 4)},
        {"height 0", changed(22, 0, 4)},
        {"too wide", changed(18, kLargestPictureSide + 1, 4)},
        {"two planes", changed(26, 2, 2)},
        {"16 bits", changed(28, 16, 2)},
        {"run-length encoded", changed(30, 1, 4)},
        {"bit fields on 24 bits", changed(30, 3, 4)},
        {"pixels beyond the end", changed(10, std::uint32_t(good.size()), 4)},
    };
    for (const Case& c : cases) EXPECT_FALSE(ReadBmpFile(ByteView(c.bytes))) << c.name;

    Bytes oddMasks = MakeBmp(Shape(3, 2, 32, false, 40, 3), Diagonal);
    StoreU32(&oddMasks[54], 0x000000FF);  // red where blue belongs
    EXPECT_FALSE(ReadBmpFile(ByteView(oddMasks))) << "masks other than BGRA";
    Bytes bigPalette = MakeBmp(Shape(2, 2, 4, false, 40, 0, {0, 0, 0}), [](int, int) { return 0u; });
    StoreU32(&bigPalette[46], 17);  // more entries than four bits can name
    EXPECT_FALSE(ReadBmpFile(ByteView(bigPalette)));
}

TEST(DibPicture, PackedPicturesDecompressFirst) {
    const Bytes bmp = MakeBmp(Shape(4, 4, 32), [](int x, int) { return x < 2 ? 0xFF0000FFu : 0u; });
    std::optional<std::vector<std::uint8_t>> packed = XzCompress(bmp.data(), bmp.size());
    ASSERT_TRUE(packed);
    std::optional<DibPicture> picture = ReadPackedBmp(ByteView(*packed));
    ASSERT_TRUE(picture);
    EXPECT_EQ(PixelAt(*picture, 0, 3), 0x0000FFu);
    EXPECT_FALSE(ReadPackedBmp(ByteView(bmp))) << "a BMP that is not packed";
    EXPECT_FALSE(ReadPackedBmp(ByteView(packed->data(), packed->size() - 1))) << "a cut stream";
}

TEST(DibPicture, ScalingPremultipliedPicturesAveragesWhatEachPixelCovers) {
    // 4 x 2: the left half opaque red, the right half transparent.
    const Bytes bmp = MakeBmp(Shape(4, 2, 32), [](int x, int) { return x < 2 ? 0xFF0000FFu : 0u; });
    std::optional<DibPicture> picture = ReadBmpFile(ByteView(bmp));
    ASSERT_TRUE(picture);
    std::optional<DibPicture> half = ScalePremultiplied(*picture, {2, 1});
    ASSERT_TRUE(half);
    EXPECT_EQ(half->bits, (Bytes{0, 0, 255, 255, 0, 0, 0, 0}));
    std::optional<DibPicture> one = ScalePremultiplied(*picture, {1, 1});
    ASSERT_TRUE(one);
    EXPECT_EQ(one->bits, (Bytes{0, 0, 128, 128})) << "half covered: half the colour and half the alpha";
    std::optional<DibPicture> same = ScalePremultiplied(*picture, {4, 2});
    ASSERT_TRUE(same);
    EXPECT_EQ(same->bits, picture->bits);
    std::optional<DibPicture> grown = ScalePremultiplied(*picture, {8, 4});
    ASSERT_TRUE(grown);
    EXPECT_EQ(PixelAt(*grown, 1, 1), 0x0000FFu);

    std::optional<DibPicture> plain = ReadBmpFile(ByteView(MakeBmp(Shape(2, 2, 24), Diagonal)));
    EXPECT_FALSE(ScalePremultiplied(*plain, {1, 1})) << "only 32-bit pictures carry alpha";
    EXPECT_FALSE(ScalePremultiplied(*picture, {0, 1}));
}

TEST(DibPicture, TransparencyPalettesWhitenTheMaskAndBlackenTheEntry) {
    const std::vector<PaletteEntry> palette = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    std::vector<PaletteEntry> mask = TransparencyMask(3, 1);
    EXPECT_EQ(mask, (std::vector<PaletteEntry>{{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 0, 0}}));
    EXPECT_EQ(WithEntryBlack(palette, 1), (std::vector<PaletteEntry>{{1, 2, 3, 0}, {0, 0, 0, 0}, {7, 8, 9, 0}}));
    EXPECT_EQ(TransparencyMask(3, 7), std::vector<PaletteEntry>(3)) << "an entry outside the palette";
    EXPECT_EQ(WithEntryBlack(palette, -1), palette);
}

}  // namespace
}  // namespace palisade
