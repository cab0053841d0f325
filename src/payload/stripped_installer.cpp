// The executable's head, its integrity checksum, and the `StrippedInstaller`
// image: the executable without its `.setup` section, kept as the uninstaller.
#include "payload/stripped_installer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/little_endian.h"
#include "payload/pe_certificate.h"
#include "payload/pe_layout.h"

namespace palisade {
namespace {


void LowerU32(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t amount) {
    StoreU32(&image[at], LoadU32(&image[at]) - amount);
}

// The installer's certificate table, when it lay after the `.setup` data,
// has moved down by the raw size with the rest of the tail; it is cut out,
// and the directory entry and the PE checksum (both the installer's) cleared.
void DropInstallerSignature(std::vector<std::uint8_t>& image, const SetupSection& section) {
    std::optional<CertificateDirectory> directory = FindCertificateDirectory(image, section.peHeaderOffset);
    if (!directory || !directory->Names()) return;
    std::uint64_t tailStart = std::uint64_t(section.rawPosition) + section.rawSize;
    if (directory->position >= tailStart) {
        std::uint64_t start = directory->position - section.rawSize;
        std::uint64_t end = std::min<std::uint64_t>(image.size(), start + directory->size);
        if (start < end) image.erase(image.begin() + std::ptrdiff_t(start), image.begin() + std::ptrdiff_t(end));
    }
    std::memset(&image[directory->entryOffset], 0, 8);
    StoreU32(&image[section.peHeaderOffset + kPeChecksumField], 0);
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
    std::optional<CertificateDirectory> directory = FindCertificateDirectory(head, peHeaderOffset);
    if (!directory) return Crc32(head.data + start, head.size - start);
    std::size_t skipFrom = directory->entryOffset;
    std::size_t skipTo = skipFrom + 8;
    std::uint32_t before = Crc32(head.data + start, skipFrom - std::size_t(start));
    return Crc32(before, head.data + skipTo, head.size - skipTo);
}

std::optional<std::uint32_t> IntegrityCrcWithCertificateEntry(ByteView head, std::uint32_t peHeaderOffset) {
    std::uint64_t start = std::uint64_t(peHeaderOffset) + kIntegrityRangeStart;
    if (start > head.size) return std::nullopt;
    return Crc32(head.data + start, head.size - start);
}

int CheckIntegrity(ByteView head, std::uint32_t peHeaderOffset, std::uint32_t fileChecksum) {
    auto crc = IntegrityCrc(head, peHeaderOffset);
    if (crc && *crc == fileChecksum) return 0;
    // Installers built before the entry was left out still pass while unsigned.
    auto withEntry = IntegrityCrcWithCertificateEntry(head, peHeaderOffset);
    return withEntry && *withEntry == fileChecksum ? 0 : FatalCode::kIntegrityChecksum;
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
    DropInstallerSignature(head, section);
    result.bytes = std::move(head);
    return result;
}

}  // namespace palisade
