// Pictures as device-independent bitmaps: reading a BMP file (the background
// picture of the settings, the stub's own artwork after decompression),
// scaling the button pictures, and the palettes of the two-pass transparent
// drawing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_view.h"
#include "ui/geometry.h"

namespace palisade {

// One palette entry as a BMP stores it (blue, green, red, unused).
struct PaletteEntry {
    std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};
bool operator==(const PaletteEntry& a, const PaletteEntry& b);

struct DibPicture {
    int width = 0;
    int height = 0;             // rows, always stored bottom-up here
    int bitsPerPixel = 0;       // 1, 4, 8, 24 or 32
    std::vector<PaletteEntry> palette;  // for 1, 4 and 8 bits
    std::vector<std::uint8_t> bits;     // rows of Stride() bytes, the bottom row first

    int Stride() const { return ((width * bitsPerPixel + 31) / 32) * 4; }
    bool Empty() const { return width <= 0 || height <= 0; }
};

// The largest side a picture may have; larger ones are refused, as they are
// no background a screen could show and would only exhaust memory.
inline constexpr int kLargestPictureSide = 16384;

// Reads a BMP file: the file header, an info header of 40 bytes or one of
// the later, longer forms, uncompressed pixels of 1, 4, 8, 24 or 32 bits
// (32 bits also with the standard BGRA bit fields), rows bottom-up or
// top-down (turned bottom-up). Nothing for any other form or when a length
// or offset points outside the file.
[[nodiscard]] std::optional<DibPicture> ReadBmpFile(ByteView file);

// Decompresses an xz stream holding a BMP file (the stub's artwork) and reads it.
[[nodiscard]] std::optional<DibPicture> ReadPackedBmp(ByteView packed);

// A 32-bit picture with premultiplied alpha scaled to `size` by averaging
// the source pixels each target pixel covers (weighted by the share covered),
// so that small button pictures stay smooth. Nothing for another depth.
[[nodiscard]] std::optional<DibPicture> ScalePremultiplied(const DibPicture& picture, Size size);

// The two palettes of transparent drawing with palette entry `index`: the
// mask, with that entry white and every other entry black, and the picture's
// own palette with that entry black.
std::vector<PaletteEntry> TransparencyMask(std::size_t entries, std::int32_t index);
std::vector<PaletteEntry> WithEntryBlack(const std::vector<PaletteEntry>& palette, std::int32_t index);

// The colour of pixel (x, y), y counted from the top, as 0x00BBGGRR; for
// checks of decoded pictures.
Colour PixelAt(const DibPicture& picture, int x, int y);

}  // namespace palisade
