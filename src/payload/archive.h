// Locating and checking the archive: inside the mapped section or read from the file.
#pragma once

#include <cstdint>
#include <optional>

#include "core/byte_view.h"
#include "payload/payload_header.h"

namespace palisade {

// `SettingsFlags1` bit: archive chunks are xz-compressed.

// Narrow fatal text when the archive kept in the file cannot be read (bytes available, position).
inline constexpr char16_t kArchiveReadFailedText[] = u"Error code 2: failed to read archive data\r\nsize=%d pos=%d";

// The archive inside the section: the bytes from the archive offset up to the
// header's payload length. Nothing when that range does not lie inside
// `payload` (the stub reports 46: the bytes available differ from the archive).
std::optional<ByteView> ArchiveBytesInSection(const PayloadHeader& header, ByteView payload);

// Where an archive kept in the file lies: from the section's raw position
// plus the archive offset on, as many bytes as the header's archive length.
// Bytes after it (the certificate table a signing tool appends, the carried
// uninstaller image) are not part of the archive.
struct ArchiveFileRange {
    std::uint64_t position = 0;
    std::int64_t available = 0;  // the bytes to read: the archive length, or fewer when the file ends first;
                                 // negative when the position lies past the end of the file
};
ArchiveFileRange ArchiveRangeInFile(const PayloadHeader& header, std::uint32_t sectionRawPosition,
                                    std::uint64_t fileSize);

// 46 unless exactly the header's archive length is available.
int CheckArchiveLength(const PayloadHeader& header, std::int64_t available);
// 55 unless the archive's CRC-32 is the header's archive checksum.
int CheckArchiveChecksum(const PayloadHeader& header, ByteView archive);

// Both checks, in order; 0 when the archive may be walked.
int CheckArchive(const PayloadHeader& header, ByteView archive);

}  // namespace palisade
