// An icon file (.ico) taken apart into the resources that carry an icon in
// a program file: one image resource per picture and the group directory
// that lists them by resource id.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_view.h"

namespace palisade {

struct IconImage {
    std::uint8_t width = 0, height = 0, colourCount = 0, reserved = 0;
    std::uint16_t planes = 0, bitCount = 0;
    ByteView bytes;  // the picture, inside the icon file's bytes
};

// At most this many pictures: more is no icon an author meant to ship.
inline constexpr std::size_t kMaxIconImages = 256;

// The pictures of an icon file; nullopt when the header is not an icon's,
// the file holds no picture or too many, or a picture lies outside the file.
std::optional<std::vector<IconImage>> ParseIconFile(ByteView file);

// The group directory resource: the icon header followed by one 14-byte
// entry per picture, naming the pictures' resource ids firstId, firstId+1, ...
std::vector<std::uint8_t> IconGroupDirectory(const std::vector<IconImage>& images, std::uint16_t firstId);

}  // namespace palisade
