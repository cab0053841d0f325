// The section table of a PE32 image as the builder's own tools need it.
#include "builder/pe_sections.h"

#include <cstring>

#include "payload/little_endian.h"
#include "payload/pe_layout.h"

namespace palisade::tools {

namespace {

std::uint64_t AlignUp(std::uint64_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

std::optional<PeSections> ReadPeSections(ByteView image) {
    if (image.size < kDosPeOffsetField + 4 || image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    std::uint64_t pe = LoadU32(image.data + kDosPeOffsetField);
    if (pe + kPeOptionalHeader + 2 > image.size || LoadU32(image.data + pe) != kPeSignature ||
        LoadU16(image.data + pe + kPeOptionalHeader) != kPe32Magic) {
        return std::nullopt;
    }
    std::uint16_t optionalSize = LoadU16(image.data + pe + kPeOptionalHeaderSizeField);
    std::uint64_t table = pe + kPeOptionalHeader + optionalSize;
    std::uint16_t count = LoadU16(image.data + pe + kPeSectionCountField);
    if (table + std::uint64_t(count) * kSectionEntryBytes > image.size) return std::nullopt;
    PeSections result;
    result.peHeaderOffset = std::uint32_t(pe);
    bool hasResources = LoadU32(image.data + pe + kPeDirectoryCountField) > 2 &&
                        pe + kPeResourceDirectoryField + 8 <= table;
    if (hasResources) {
        result.resourceDirectoryRva = LoadU32(image.data + pe + kPeResourceDirectoryField);
        result.resourceDirectorySize = LoadU32(image.data + pe + kPeResourceDirectoryField + 4);
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = image.data + table + i * kSectionEntryBytes;
        result.sections.push_back({LoadU32(entry + kSectionVirtualAddressField), LoadU32(entry + kSectionVirtualSizeField),
                                   LoadU32(entry + kSectionRawPositionField), LoadU32(entry + kSectionRawSizeField)});
    }
    return result;
}

const PeSection* SectionHolding(const PeSections& sections, std::uint32_t rva) {
    for (const PeSection& section : sections.sections) {
        std::uint32_t extent = std::max(section.virtualSize, section.rawSize);
        if (rva >= section.virtualAddress && rva - section.virtualAddress < extent) return &section;
    }
    return nullptr;
}

std::optional<std::size_t> RvaToFileOffset(const PeSections& sections, std::uint32_t rva, std::uint32_t length) {
    const PeSection* section = SectionHolding(sections, rva);
    if (!section || section->rawPosition == 0) return std::nullopt;
    std::uint64_t within = rva - section->virtualAddress;
    if (within + length > section->rawSize) return std::nullopt;
    return std::size_t(section->rawPosition + within);
}

std::string AppendSection(std::vector<std::uint8_t>& image, const StubLayout& layout, const AppendedSection& section) {
    if (section.name.size() > 8 || section.data.empty()) return "a section needs a name of up to 8 characters and data";
    std::uint64_t rawPosition = AlignUp(image.size(), layout.fileAlignment);
    std::uint64_t rawSize = AlignUp(section.data.size(), layout.fileAlignment);
    std::uint64_t imageSize = layout.nextVirtualAddress + AlignUp(section.data.size(), layout.sectionAlignment);
    if (rawPosition + rawSize > 0xFFFFFFFFu || imageSize > 0xFFFFFFFFu) return "the image would be larger than 4 GiB";
    std::uint32_t pe = layout.peHeaderOffset;
    std::size_t entry = layout.sectionTableOffset + std::size_t(layout.sectionCount) * kSectionEntryBytes;
    image.resize(rawPosition, 0);
    image.insert(image.end(), section.data.begin(), section.data.end());
    image.resize(rawPosition + rawSize, 0);
    std::memset(&image[entry], 0, kSectionEntryBytes);
    std::memcpy(&image[entry], section.name.data(), section.name.size());
    StoreU32(&image[entry + kSectionVirtualSizeField], std::uint32_t(section.data.size()));
    StoreU32(&image[entry + kSectionVirtualAddressField], layout.nextVirtualAddress);
    StoreU32(&image[entry + kSectionRawSizeField], std::uint32_t(rawSize));
    StoreU32(&image[entry + kSectionRawPositionField], std::uint32_t(rawPosition));
    StoreU32(&image[entry + kSectionCharacteristicsField], section.characteristics);
    StoreU16(&image[pe + kPeSectionCountField], std::uint16_t(layout.sectionCount + 1));
    StoreU32(&image[pe + kPeImageSizeField], std::uint32_t(imageSize));
    StoreU32(&image[pe + kPeInitializedDataSizeField],
             LoadU32(&image[pe + kPeInitializedDataSizeField]) + std::uint32_t(rawSize));
    StoreU32(&image[pe + kPeChecksumField], 0);
    return {};
}

}  // namespace palisade::tools
