// Reading BMP files, scaling button pictures and the transparency palettes.
#include "ui/dib_picture.h"

#include <algorithm>
#include <cmath>

#include "payload/little_endian.h"
#include "payload/xz_codec.h"

namespace palisade {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
constexpr std::uint32_t kBitFields = 3;     // BI_BITFIELDS

bool KnownDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

// The colour masks of a 32-bit picture with bit fields must be plain BGRA.
bool PlainMasks(ByteView file, std::size_t at) {
    if (file.size - at < 12) return false;
    return LoadU32(file.data + at) == 0x00FF0000 && LoadU32(file.data + at + 4) == 0x0000FF00 &&
           LoadU32(file.data + at + 8) == 0x000000FF;
}

std::optional<std::vector<PaletteEntry>> ReadPalette(ByteView file, std::size_t at, int bits, std::uint32_t used) {
    std::vector<PaletteEntry> palette;
    if (bits > 8) return palette;
    const std::uint32_t most = 1u << bits;
    const std::uint32_t count = used == 0 ? most : used;
    if (count > most || at > file.size || (file.size - at) / 4 < count) return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* p = file.data + at + 4 * i;
        palette.push_back({p[0], p[1], p[2], 0});
    }
    return palette;
}

}  // namespace

bool operator==(const PaletteEntry& a, const PaletteEntry& b) {
    return a.blue == b.blue && a.green == b.green && a.red == b.red && a.reserved == b.reserved;
}

std::optional<DibPicture> ReadBmpFile(ByteView file) {
    if (file.size < kFileHeaderSize + kInfoHeaderSize || file.data[0] != 'B' || file.data[1] != 'M') return std::nullopt;
    const std::uint32_t pixelOffset = LoadU32(file.data + 10);
    const std::uint8_t* info = file.data + kFileHeaderSize;
    const std::uint32_t infoSize = LoadU32(info);
    if (infoSize < kInfoHeaderSize || infoSize > file.size - kFileHeaderSize) return std::nullopt;
    const std::int32_t width = std::int32_t(LoadU32(info + 4));
    const std::int32_t rawHeight = std::int32_t(LoadU32(info + 8));
    const int bits = LoadU16(info + 14);
    const std::uint32_t compression = LoadU32(info + 16);
    const std::uint32_t used = LoadU32(info + 32);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kLargestPictureSide || height > kLargestPictureSide) return std::nullopt;
    if (LoadU16(info + 12) != 1 || !KnownDepth(bits)) return std::nullopt;

    std::size_t paletteAt = kFileHeaderSize + infoSize;
    if (compression == kBitFields) {
        // The masks follow a 40-byte header and are part of the longer ones.
        if (bits != 32) return std::nullopt;
        std::size_t masksAt = infoSize == kInfoHeaderSize ? paletteAt : kFileHeaderSize + kInfoHeaderSize;
        if (!PlainMasks(file, masksAt)) return std::nullopt;
        if (infoSize == kInfoHeaderSize) paletteAt += 12;
    } else if (compression != kUncompressed) {
        return std::nullopt;
    }
    std::optional<std::vector<PaletteEntry>> palette = ReadPalette(file, paletteAt, bits, used);
    if (!palette) return std::nullopt;

    DibPicture picture;
    picture.width = width;
    picture.height = int(height);
    picture.bitsPerPixel = bits;
    picture.palette = std::move(*palette);
    const std::size_t stride = std::size_t(picture.Stride());
    const std::size_t length = stride * std::size_t(height);
    if (pixelOffset > file.size || file.size - pixelOffset < length) return std::nullopt;
    const std::uint8_t* pixels = file.data + pixelOffset;
    picture.bits.assign(pixels, pixels + length);
    if (topDown) {
        for (std::size_t row = 0; row < std::size_t(height) / 2; ++row) {
            std::swap_ranges(picture.bits.begin() + std::ptrdiff_t(row * stride),
                             picture.bits.begin() + std::ptrdiff_t((row + 1) * stride),
                             picture.bits.begin() + std::ptrdiff_t((std::size_t(height) - 1 - row) * stride));
        }
    }
    return picture;
}

std::optional<DibPicture> ReadPackedBmp(ByteView packed) {
    std::vector<std::uint8_t> bytes(packed.data, packed.data + packed.size);
    if (bytes.empty() || !XzDecompress(bytes)) return std::nullopt;
    return ReadBmpFile(ByteView(bytes));
}

std::optional<DibPicture> ScalePremultiplied(const DibPicture& picture, Size size) {
    if (picture.bitsPerPixel != 32 || picture.Empty() || size.width <= 0 || size.height <= 0) return std::nullopt;
    DibPicture scaled;
    scaled.width = size.width;
    scaled.height = size.height;
    scaled.bitsPerPixel = 32;
    scaled.bits.assign(std::size_t(scaled.Stride()) * std::size_t(size.height), 0);
    const double sx = double(picture.width) / size.width;
    const double sy = double(picture.height) / size.height;
    for (int ty = 0; ty < size.height; ++ty) {
        const double y0 = ty * sy, y1 = (ty + 1) * sy;
        for (int tx = 0; tx < size.width; ++tx) {
            const double x0 = tx * sx, x1 = (tx + 1) * sx;
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (int y = int(y0); y < int(std::ceil(y1)) && y < picture.height; ++y) {
                const double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
                for (int x = int(x0); x < int(std::ceil(x1)) && x < picture.width; ++x) {
                    const double w = wy * (std::min(x1, x + 1.0) - std::max(x0, double(x)));
                    const std::uint8_t* p = picture.bits.data() + std::size_t(y) * picture.Stride() + 4 * x;
                    for (int c = 0; c < 4; ++c) sum[c] += w * p[c];
                    area += w;
                }
            }
            std::uint8_t* out = scaled.bits.data() + std::size_t(ty) * scaled.Stride() + 4 * tx;
            for (int c = 0; c < 4; ++c) out[c] = std::uint8_t(std::lround(area > 0 ? sum[c] / area : 0));
        }
    }
    return scaled;
}

std::vector<PaletteEntry> TransparencyMask(std::size_t entries, std::int32_t index) {
    std::vector<PaletteEntry> mask(entries);
    if (index >= 0 && std::size_t(index) < entries) mask[std::size_t(index)] = {255, 255, 255, 0};
    return mask;
}

std::vector<PaletteEntry> WithEntryBlack(const std::vector<PaletteEntry>& palette, std::int32_t index) {
    std::vector<PaletteEntry> changed = palette;
    if (index >= 0 && std::size_t(index) < changed.size()) changed[std::size_t(index)] = {};
    return changed;
}

Colour PixelAt(const DibPicture& picture, int x, int y) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return 0;
    const std::uint8_t* row = picture.bits.data() + std::size_t(picture.height - 1 - y) * picture.Stride();
    const int bits = picture.bitsPerPixel;
    if (bits >= 24) {
        const std::uint8_t* p = row + x * (bits / 8);
        return MakeColour(p[2], p[1], p[0]);
    }
    const int perByte = 8 / bits;
    const int shift = (perByte - 1 - x % perByte) * bits;
    const std::size_t index = (row[x / perByte] >> shift) & ((1 << bits) - 1);
    if (index >= picture.palette.size()) return 0;
    const PaletteEntry& entry = picture.palette[index];
    return MakeColour(entry.red, entry.green, entry.blue);
}

}  // namespace palisade
