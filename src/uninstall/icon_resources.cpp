// Takes an icon file apart, checking every offset against the file's size.
#include "uninstall/icon_resources.h"

#include "payload/little_endian.h"

namespace palisade {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFileEntrySize = 16;

std::uint16_t U16(ByteView bytes, std::size_t at) { return LoadU16(bytes.data + at); }
std::uint32_t U32(ByteView bytes, std::size_t at) { return LoadU32(bytes.data + at); }

}  // namespace

std::optional<std::vector<IconImage>> ParseIconFile(ByteView file) {
    if (file.size < kHeaderSize || U16(file, 0) != 0 || U16(file, 2) != 1) return std::nullopt;
    std::size_t count = U16(file, 4);
    if (count == 0 || count > kMaxIconImages || file.size < kHeaderSize + count * kFileEntrySize) return std::nullopt;
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t entry = kHeaderSize + i * kFileEntrySize;
        std::uint32_t length = U32(file, entry + 8);
        std::uint32_t offset = U32(file, entry + 12);
        if (length == 0 || offset > file.size || length > file.size - offset) return std::nullopt;
        IconImage image;
        image.width = file[entry];
        image.height = file[entry + 1];
        image.colourCount = file[entry + 2];
        image.reserved = file[entry + 3];
        image.planes = U16(file, entry + 4);
        image.bitCount = U16(file, entry + 6);
        image.bytes = file.Sub(offset, length);
        images.push_back(image);
    }
    return images;
}

std::vector<std::uint8_t> IconGroupDirectory(const std::vector<IconImage>& images, std::uint16_t firstId) {
    std::vector<std::uint8_t> out;
    AppendU16(out, 0);
    AppendU16(out, 1);
    AppendU16(out, std::uint16_t(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        for (std::uint8_t byte : {image.width, image.height, image.colourCount, image.reserved}) out.push_back(byte);
        AppendU16(out, image.planes);
        AppendU16(out, image.bitCount);
        AppendU32(out, std::uint32_t(image.bytes.size));
        AppendU16(out, std::uint16_t(firstId + i));
    }
    return out;
}

}  // namespace palisade
