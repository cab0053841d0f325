// Locating and checking the archive: inside the mapped section or read from the file.
#include "payload/archive.h"

#include <algorithm>

#include "core/fatal_codes.h"
#include "payload/crc32.h"

namespace palisade {

std::optional<ByteView> ArchiveBytesInSection(const PayloadHeader& header, ByteView payload) {
    std::size_t end = static_cast<std::size_t>(header.payloadLength);
    if (header.payloadLength < 0 || end < header.archiveOffset || end > payload.size) return std::nullopt;
    return payload.Sub(header.archiveOffset, end - header.archiveOffset);
}

ArchiveFileRange ArchiveRangeInFile(const PayloadHeader& header, std::uint32_t sectionRawPosition,
                                    std::uint64_t fileSize) {
    ArchiveFileRange range;
    range.position = std::uint64_t(sectionRawPosition) + header.archiveOffset;
    range.available = static_cast<std::int64_t>(fileSize) - static_cast<std::int64_t>(range.position);
    range.available = std::min<std::int64_t>(range.available, header.archiveLength);
    return range;
}

int CheckArchiveLength(const PayloadHeader& header, std::int64_t available) {
    return available == header.archiveLength ? 0 : FatalCode::kArchiveAvailable;
}

int CheckArchiveChecksum(const PayloadHeader& header, ByteView archive) {
    return Crc32(archive.data, archive.size) == header.archiveChecksum ? 0 : FatalCode::kArchiveChecksum;
}

int CheckArchive(const PayloadHeader& header, ByteView archive) {
    if (int code = CheckArchiveLength(header, static_cast<std::int64_t>(archive.size))) return code;
    return CheckArchiveChecksum(header, archive);
}

}  // namespace palisade
