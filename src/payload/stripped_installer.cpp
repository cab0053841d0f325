// The executable's head, its integrity checksum, and the `StrippedInstaller`
// image: the executable without its `.setup` section, kept as the uninstaller.
#include "payload/stripped_installer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/little_endian.h"
#include "payload/pe_layout.h"

namespace palisade {
namespace {


void LowerU32(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t amount) {
    StoreU32(&image[at], LoadU32(&image[at]) - amount);
}

}  // namespace

ExecutableBytes ReadExecutableHead(const ByteSource& file, const SetupSection& section) {
    ExecutableBytes head;
    // Checked before anything is allocated: the position comes from the file.
    if (section.rawPosition > file.Size() || std::uint64_t(section.rawPosition) > SIZE_MAX / 2) {
        head.errorCode = FatalCode::kHeadUnreadable;
        return head;
    }
    head.bytes.resize(section.rawPosition);
    if (!file.ReadAt(0, head.bytes.data(), head.bytes.size())) {
        head.bytes.clear();
        head.errorCode = FatalCode::kHeadUnreadable;
    }
    return head;
}

std::optional<std::uint32_t> IntegrityCrc(ByteView head, std::uint32_t peHeaderOffset) {
    std::uint64_t start = std::uint64_t(peHeaderOffset) + kIntegrityRangeStart;
    if (start > head.size) return std::nullopt;
    return Crc32(head.data + start, head.size - start);
}

int CheckIntegrity(ByteView head, std::uint32_t peHeaderOffset, std::uint32_t fileChecksum) {
    auto crc = IntegrityCrc(head, peHeaderOffset);
    return crc && *crc == fileChecksum ? 0 : FatalCode::kIntegrityChecksum;
}

bool RemoveSetupSectionEntry(std::vector<std::uint8_t>& image, const SetupSection& section) {
    std::uint64_t pe = section.peHeaderOffset;
    std::uint64_t table = section.sectionTableOffset;
    std::uint64_t tableEnd = table + std::uint64_t(section.sectionCount) * kSectionEntryBytes;
    if (section.sectionCount == 0 || section.index >= section.sectionCount ||
        pe + kPeImageSizeField + 4 > image.size() || tableEnd > image.size()) {
        return false;
    }
    StoreU16(&image[pe + kPeSectionCountField], std::uint16_t(section.sectionCount - 1));
    LowerU32(image, pe + kPeInitializedDataSizeField, section.rawSize);
    LowerU32(image, pe + kPeImageSizeField, section.rawSize);

    // Later entries move up one slot; the data of those whose raw data lay
    // after the `.setup` data has moved down by its raw size.
    std::uint64_t setupDataEnd = std::uint64_t(section.rawPosition) + section.rawSize;
    std::size_t slot = table + std::size_t(section.index) * kSectionEntryBytes;
    for (std::uint16_t i = section.index + 1; i < section.sectionCount; ++i, slot += kSectionEntryBytes) {
        std::memcpy(&image[slot], &image[slot + kSectionEntryBytes], kSectionEntryBytes);
        std::size_t rawField = slot + kSectionRawPositionField;
        if (LoadU32(&image[rawField]) >= setupDataEnd) LowerU32(image, rawField, section.rawSize);
    }
    // The freed last slot takes the 40 bytes that followed the table (zeros
    // for any of them beyond the image).
    std::size_t follow = std::min<std::size_t>(kSectionEntryBytes, image.size() - tableEnd);
    std::memmove(&image[slot], image.data() + tableEnd, follow);
    std::memset(&image[slot + follow], 0, kSectionEntryBytes - follow);
    return true;
}

ExecutableBytes BuildStrippedInstaller(std::vector<std::uint8_t> head, const ByteSource& file,
                                       const SetupSection& section) {
    ExecutableBytes result;
    std::uint64_t tailStart = std::uint64_t(section.rawPosition) + section.rawSize;
    if (file.Size() > tailStart) {
        if (file.Size() - tailStart > SIZE_MAX / 2 - head.size()) {
            result.errorCode = FatalCode::kTailUnreadable;
            return result;
        }
        std::size_t headSize = head.size();
        head.resize(headSize + (file.Size() - tailStart));
        if (!file.ReadAt(tailStart, head.data() + headSize, head.size() - headSize)) {
            result.errorCode = FatalCode::kTailUnreadable;
            return result;
        }
    }
    if (!RemoveSetupSectionEntry(head, section)) {
        result.errorCode = FatalCode::kHeadUnreadable;
        return result;
    }
    result.bytes = std::move(head);
    return result;
}

}  // namespace palisade
