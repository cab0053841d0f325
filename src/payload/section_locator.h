// Finds the `.setup` section in the installer's own PE image.
#pragma once

#include <cstdint>
#include <variant>

#include "core/byte_source.h"

namespace palisade {

// Where the payload section lies; the offsets are those of the PE section table.
struct SetupSection {
    std::uint32_t peHeaderOffset = 0;
    std::uint16_t sectionCount = 0;
    std::uint32_t sectionTableOffset = 0;  // file offset of the first 40-byte entry
    std::uint16_t index = 0;               // of the `.setup` entry in the table
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawPosition = 0;
};

// The image has no `.setup` entry: a bare stub or the uninstaller copy.
struct NoSetupSection {};

// A numbered corrupt-installer error (43, 44 or 9).
struct SectionError {
    int code;
};

using SectionLookup = std::variant<SetupSection, NoSetupSection, SectionError>;

SectionLookup LocateSetupSection(const ByteSource& image);

// The limits the installer accepts for its own image.
inline constexpr std::uint32_t kMinPeHeaderOffset = 64;
inline constexpr std::uint32_t kMaxPeHeaderOffset = 4096;
inline constexpr std::uint16_t kMinSectionCount = 4;
inline constexpr std::uint16_t kMaxSectionCount = 99;

}  // namespace palisade
