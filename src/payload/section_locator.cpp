// Finds the `.setup` section in the installer's own PE image.
#include "payload/section_locator.h"
#include "core/fatal_codes.h"

#include <cstring>

namespace palisade {

SectionLookup LocateSetupSection(const ByteSource& image) {
    // e_lfanew is 32 bits wide, but only its low 16 bits are read: the check below
    // rejects any header further out than 4096 anyway.
    auto peOffset = image.ReadU16(60);
    if (!peOffset || *peOffset < kMinPeHeaderOffset || *peOffset > kMaxPeHeaderOffset) {
        return SectionError{FatalCode::kPeHeaderOffset};
    }
    auto sectionCount = image.ReadU16(*peOffset + 6u);
    if (!sectionCount || *sectionCount < kMinSectionCount || *sectionCount > kMaxSectionCount) {
        return SectionError{FatalCode::kSectionCount};
    }
    // A missing optional-header size reads as 0; the entries then fail to read and
    // the image counts as one without a `.setup` section.
    std::uint16_t optionalHeaderSize = image.ReadU16(*peOffset + 20u).value_or(0);

    SetupSection found;
    found.peHeaderOffset = *peOffset;
    found.sectionCount = *sectionCount;
    found.sectionTableOffset = *peOffset + 24u + optionalHeaderSize;
    for (std::uint16_t i = 0; i < *sectionCount; ++i) {
        std::uint64_t entry = found.sectionTableOffset + std::uint64_t(i) * kSectionEntrySize;
        char name[9] = {};
        if (!image.ReadAt(entry, name, 8)) break;
        if (std::strcmp(name, ".setup") != 0) continue;
        auto virtualAddress = image.ReadU32(entry + 12);
        auto rawSize = image.ReadU32(entry + 16);
        auto rawPosition = image.ReadU32(entry + 20);
        if (!virtualAddress || !rawSize || !rawPosition) break;
        if (*rawPosition == 0) return SectionError{FatalCode::kSectionAtZero};
        found.index = i;
        found.virtualAddress = *virtualAddress;
        found.rawSize = *rawSize;
        found.rawPosition = *rawPosition;
        return found;
    }
    return NoSetupSection{};
}

}  // namespace palisade
