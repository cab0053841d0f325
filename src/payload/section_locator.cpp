// Finds the `.setup` section in the installer's own PE image.
#include "payload/section_locator.h"

#include <cstring>

#include "core/fatal_codes.h"
#include "payload/pe_layout.h"

namespace palisade {

SectionLookup LocateSetupSection(const ByteSource& image) {
    // e_lfanew is 32 bits wide, but only its low 16 bits are read: the check below
    // rejects any header further out than 4096 anyway.
    auto peOffset = image.ReadU16(kDosPeOffsetField);
    if (!peOffset || *peOffset < kMinPeHeaderOffset || *peOffset > kMaxPeHeaderOffset) {
        return SectionError{FatalCode::kPeHeaderOffset};
    }
    auto sectionCount = image.ReadU16(*peOffset + kPeSectionCountField);
    if (!sectionCount || *sectionCount < kMinSectionCount || *sectionCount > kMaxSectionCount) {
        return SectionError{FatalCode::kSectionCount};
    }
    // A missing optional-header size reads as 0; the entries then fail to read and
    // the image counts as one without a `.setup` section.
    std::uint16_t optionalHeaderSize = image.ReadU16(*peOffset + kPeOptionalHeaderSizeField).value_or(0);

    SetupSection found;
    found.peHeaderOffset = *peOffset;
    found.sectionCount = *sectionCount;
    found.sectionTableOffset = *peOffset + kPeOptionalHeader + optionalHeaderSize;
    for (std::uint16_t i = 0; i < *sectionCount; ++i) {
        std::uint64_t entry = found.sectionTableOffset + std::uint64_t(i) * kSectionEntryBytes;
        char name[9] = {};
        if (!image.ReadAt(entry, name, 8)) break;
        if (std::strcmp(name, ".setup") != 0) continue;
        auto virtualAddress = image.ReadU32(entry + kSectionVirtualAddressField);
        auto rawSize = image.ReadU32(entry + kSectionRawSizeField);
        auto rawPosition = image.ReadU32(entry + kSectionRawPositionField);
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
