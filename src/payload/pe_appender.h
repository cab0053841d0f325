// Appends the payload to the installer stub as its last PE section, `.setup`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "payload/payload_writer.h"

namespace palisade {

inline constexpr char kSetupSectionName[] = ".setup";
// Initialised data, readable.
inline constexpr std::uint32_t kSetupSectionCharacteristics = 0x40000040;

// What the appender needs to know of the stub's headers.
struct StubLayout {
    std::uint32_t peHeaderOffset = 0;
    std::uint16_t sectionCount = 0;
    std::uint32_t sectionTableOffset = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t nextVirtualAddress = 0;  // just after the last section, aligned
};

struct StubInspection {
    StubLayout layout;
    std::string error;  // why the stub cannot take the section; empty when it can
};

// Checks that `stub` is a PE32 image that can take one more section and that
// the installer's section lookup will accept afterwards.
StubInspection InspectStub(const std::vector<std::uint8_t>& stub);

// The raw (and virtual) size of a section that holds the payload: a whole
// number of section alignments, so that the image without it is still valid.
// In the section: header, settings, archive and the `trailing` bytes after it
// (a carried uninstaller). With the archive kept in the file, the section
// covers the header and settings and the archive runs on past its end;
// nothing when the archive is too short to reach that end.
std::optional<std::uint32_t> SetupSectionSize(std::size_t headerAndSettings, std::size_t archiveLength,
                                              bool archiveInFile, std::uint32_t sectionAlignment,
                                              std::size_t trailing = 0);

struct AppendResult {
    std::vector<std::uint8_t> image;
    std::string error;
};

// The stub with the payload as its new last section: section count, image
// size and initialised-data size raised, checksum cleared, raw data at the
// end of the file (file-aligned), the archive after it when kept in the file,
// the carried uninstaller right after the archive, and in integrity mode 1
// the head's checksum stored in the payload header.
AppendResult AppendSetupSection(const std::vector<std::uint8_t>& stub, const BuiltPayload& payload);

}  // namespace palisade
