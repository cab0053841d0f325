// Offsets of the PE32 header fields that the payload code reads and changes.
#pragma once

#include <cstdint>

namespace palisade {

// From the PE header ("PE\0\0") offset.
inline constexpr std::uint32_t kPeSignature = 0x00004550;
inline constexpr std::uint32_t kPeSectionCountField = 6;
inline constexpr std::uint32_t kPeOptionalHeaderSizeField = 20;
inline constexpr std::uint32_t kPeOptionalHeader = 24;
inline constexpr std::uint32_t kPeInitializedDataSizeField = 32;
inline constexpr std::uint32_t kPeSectionAlignmentField = 56;
inline constexpr std::uint32_t kPeFileAlignmentField = 60;
inline constexpr std::uint32_t kPeImageSizeField = 80;
inline constexpr std::uint32_t kPeHeadersSizeField = 84;
inline constexpr std::uint32_t kPeChecksumField = 88;
inline constexpr std::uint32_t kPeDirectoryCountField = 116;
inline constexpr std::uint32_t kPeCertificateDirectoryField = 152;  // data directory 4
inline constexpr std::uint32_t kPeCertificateDirectoryIndex = 4;
inline constexpr std::uint32_t kPeResourceDirectoryField = 136;  // data directory 2
// The integrity checksum covers the head from just after the checksum field
// (leaving out the certificate directory entry, which signing fills in).
inline constexpr std::uint32_t kIntegrityRangeStart = 92;

inline constexpr std::uint16_t kPe32Magic = 0x10b;
inline constexpr std::uint32_t kDosPeOffsetField = 60;

// Within a 40-byte section table entry.
inline constexpr std::uint32_t kSectionEntryBytes = 40;
inline constexpr std::uint32_t kSectionVirtualSizeField = 8;
inline constexpr std::uint32_t kSectionVirtualAddressField = 12;
inline constexpr std::uint32_t kSectionRawSizeField = 16;
inline constexpr std::uint32_t kSectionRawPositionField = 20;
inline constexpr std::uint32_t kSectionCharacteristicsField = 36;

}  // namespace palisade
