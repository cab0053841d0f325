// Appends the payload to the installer stub as its last PE section, `.setup`.
#include "payload/pe_appender.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "payload/little_endian.h"
#include "payload/pe_layout.h"
#include "payload/section_locator.h"
#include "payload/stripped_installer.h"

namespace palisade {
namespace {

constexpr std::uint64_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();
// A PE32 optional header holds at least its standard and Windows fields (up to the directory count).
constexpr std::uint16_t kPe32WindowsFieldsEnd = 96;

std::uint64_t AlignUp(std::uint64_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// The PE header: where it is, and that it is a PE32 image with the fields we change.
std::string CheckPeHeader(const std::vector<std::uint8_t>& stub, StubLayout& layout) {
    if (stub.size() < 64 || stub[0] != 'M' || stub[1] != 'Z') return "the stub is not an executable (no MZ header)";
    std::uint32_t pe = LoadU32(&stub[kDosPeOffsetField]);
    if (pe < kMinPeHeaderOffset || pe > kMaxPeHeaderOffset) return "the stub's PE header lies outside 64..4096";
    if (std::uint64_t(pe) + kPeOptionalHeader + 2 > stub.size() || LoadU32(&stub[pe]) != kPeSignature) {
        return "the stub is not a PE image";
    }
    std::uint16_t optionalSize = LoadU16(&stub[pe + kPeOptionalHeaderSizeField]);
    if (LoadU16(&stub[pe + kPeOptionalHeader]) != kPe32Magic || optionalSize < kPe32WindowsFieldsEnd ||
        std::uint64_t(pe) + kPeOptionalHeader + optionalSize > stub.size()) {
        return "the stub is not a PE32 image";
    }
    layout.peHeaderOffset = pe;
    layout.sectionCount = LoadU16(&stub[pe + kPeSectionCountField]);
    layout.sectionTableOffset = pe + kPeOptionalHeader + optionalSize;
    layout.sectionAlignment = LoadU32(&stub[pe + kPeSectionAlignmentField]);
    layout.fileAlignment = LoadU32(&stub[pe + kPeFileAlignmentField]);
    if (!IsPowerOfTwo(layout.sectionAlignment) || !IsPowerOfTwo(layout.fileAlignment) ||
        layout.fileAlignment > layout.sectionAlignment) {
        return "the stub's section or file alignment is not usable";
    }
    std::uint32_t optionalEnd = pe + kPeOptionalHeader + optionalSize;
    if (LoadU32(&stub[pe + kPeDirectoryCountField]) > 4 && pe + kPeCertificateDirectoryField + 8 <= optionalEnd &&
        LoadU32(&stub[pe + kPeCertificateDirectoryField + 4]) != 0) {
        return "the stub carries a signature: sign the installer after building it, not the stub";
    }
    return {};
}

// The section table: one more entry must fit before the headers end, and the
// new section goes after every existing one in memory.
std::string CheckSectionTable(const std::vector<std::uint8_t>& stub, StubLayout& layout) {
    std::uint32_t pe = layout.peHeaderOffset;
    if (layout.sectionCount + 1 < kMinSectionCount || layout.sectionCount + 1 > kMaxSectionCount) {
        return "the stub must have 3 to 98 sections to take the payload section";
    }
    std::uint64_t tableEnd = std::uint64_t(layout.sectionTableOffset) + layout.sectionCount * kSectionEntryBytes;
    if (tableEnd > stub.size()) return "the stub's section table is cut short";
    std::uint64_t headersEnd = LoadU32(&stub[pe + kPeHeadersSizeField]);
    std::uint64_t extent = AlignUp(LoadU32(&stub[pe + kPeImageSizeField]), layout.sectionAlignment);
    for (std::uint16_t i = 0; i < layout.sectionCount; ++i) {
        const std::uint8_t* entry = &stub[layout.sectionTableOffset + i * kSectionEntryBytes];
        std::uint32_t rawPosition = LoadU32(entry + kSectionRawPositionField);
        std::uint32_t rawSize = LoadU32(entry + kSectionRawSizeField);
        if (rawPosition != 0 && rawSize != 0) headersEnd = std::min<std::uint64_t>(headersEnd, rawPosition);
        std::uint32_t virtualSize = LoadU32(entry + kSectionVirtualSizeField);
        std::uint64_t end = std::uint64_t(LoadU32(entry + kSectionVirtualAddressField)) + std::max(virtualSize, rawSize);
        extent = std::max(extent, AlignUp(end, layout.sectionAlignment));
    }
    if (tableEnd + kSectionEntryBytes > headersEnd) return "the stub's headers have no room for one more section entry";
    if (extent > kMaxU32) return "the stub's image is too large";
    layout.nextVirtualAddress = static_cast<std::uint32_t>(extent);
    return {};
}

void WriteSectionEntry(std::uint8_t* entry, std::uint32_t virtualAddress, std::uint32_t size, std::uint32_t rawPosition) {
    std::memset(entry, 0, kSectionEntryBytes);
    std::memcpy(entry, kSetupSectionName, sizeof(kSetupSectionName) - 1);
    StoreU32(entry + kSectionVirtualSizeField, size);
    StoreU32(entry + kSectionVirtualAddressField, virtualAddress);
    StoreU32(entry + kSectionRawSizeField, size);
    StoreU32(entry + kSectionRawPositionField, rawPosition);
    StoreU32(entry + kSectionCharacteristicsField, kSetupSectionCharacteristics);
}

}  // namespace

StubInspection InspectStub(const std::vector<std::uint8_t>& stub) {
    StubInspection inspection;
    inspection.error = CheckPeHeader(stub, inspection.layout);
    if (inspection.error.empty()) inspection.error = CheckSectionTable(stub, inspection.layout);
    return inspection;
}

std::optional<std::uint32_t> SetupSectionSize(std::size_t headerAndSettings, std::size_t archiveLength,
                                              bool archiveInFile, std::uint32_t sectionAlignment,
                                              std::size_t trailing) {
    std::uint64_t payloadEnd = std::uint64_t(headerAndSettings) + archiveLength;
    std::uint64_t size = AlignUp(archiveInFile ? headerAndSettings : payloadEnd + trailing, sectionAlignment);
    // An archive in the file starts right after the settings and ends the file,
    // so the section's raw data must end inside it.
    if ((archiveInFile && size > payloadEnd) || size > kMaxU32) return std::nullopt;
    return static_cast<std::uint32_t>(size);
}

AppendResult AppendSetupSection(const std::vector<std::uint8_t>& stub, const BuiltPayload& payload) {
    AppendResult result;
    StubInspection inspection = InspectStub(stub);
    if (!inspection.error.empty()) {
        result.error = inspection.error;
        return result;
    }
    const StubLayout& layout = inspection.layout;
    auto sectionSize = SetupSectionSize(payload.headerAndSettings.size(), payload.archive.size(),
                                        payload.archiveInFile, layout.sectionAlignment,
                                        payload.carriedUninstaller.size());
    // The raw data starts on a page (the section alignment, a multiple of the
    // file alignment), so that a loader can map the section instead of copying it.
    std::uint64_t rawPosition = AlignUp(stub.size(), std::max(layout.fileAlignment, layout.sectionAlignment));
    if (!sectionSize) {
        result.error = payload.archiveInFile ? "the archive is too small to be kept in the file after the section"
                                             : "the payload is too large for a PE section";
        return result;
    }
    if (rawPosition + *sectionSize > kMaxU32 || std::uint64_t(layout.nextVirtualAddress) + *sectionSize > kMaxU32) {
        result.error = "the installer would be larger than 4 GiB";
        return result;
    }

    std::vector<std::uint8_t>& image = result.image;
    std::uint64_t payloadBytes =
        payload.headerAndSettings.size() + payload.archive.size() + payload.carriedUninstaller.size();
    image.reserve(rawPosition + std::max<std::uint64_t>(*sectionSize, payloadBytes));
    image = stub;
    image.resize(rawPosition, 0);
    image.insert(image.end(), payload.headerAndSettings.begin(), payload.headerAndSettings.end());
    image.insert(image.end(), payload.archive.begin(), payload.archive.end());
    image.insert(image.end(), payload.carriedUninstaller.begin(), payload.carriedUninstaller.end());
    if (!payload.archiveInFile) image.resize(rawPosition + *sectionSize, 0);

    std::uint32_t pe = layout.peHeaderOffset;
    WriteSectionEntry(&image[layout.sectionTableOffset + layout.sectionCount * kSectionEntryBytes],
                      layout.nextVirtualAddress, *sectionSize, std::uint32_t(rawPosition));
    StoreU16(&image[pe + kPeSectionCountField], std::uint16_t(layout.sectionCount + 1));
    StoreU32(&image[pe + kPeImageSizeField], layout.nextVirtualAddress + *sectionSize);
    StoreU32(&image[pe + kPeInitializedDataSizeField], LoadU32(&image[pe + kPeInitializedDataSizeField]) + *sectionSize);
    // A stale checksum would be wrong for the installer and for its stripped copy alike.
    StoreU32(&image[pe + kPeChecksumField], 0);

    if (payload.storeFileChecksum) {
        // The head is final now: nothing before the section's raw data changes after this.
        std::uint32_t crc = *IntegrityCrc(ByteView(image.data(), rawPosition), pe);
        StoreU32(&image[rawPosition + kFileChecksumFieldOffset], crc);
    }
    return result;
}

}  // namespace palisade
