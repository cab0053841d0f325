// The executable's head, its integrity checksum, and the `StrippedInstaller`
// image: the executable without its `.setup` section, kept as the uninstaller.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_source.h"
#include "core/byte_view.h"
#include "payload/section_locator.h"

namespace palisade {

struct ExecutableBytes {
    std::vector<std::uint8_t> bytes;
    int errorCode = 0;
    bool carried = false;  // PrepareUninstallerImage: the builder's carried image, not a stripped one
};

// Everything before the `.setup` raw data (35 when it cannot be read).
ExecutableBytes ReadExecutableHead(const ByteSource& file, const SetupSection& section);

// CRC-32 of the head from the PE header offset + 92 to its end, leaving out
// the 8 bytes of the certificate directory entry (which a signing tool fills
// in after the build); nothing when the head is shorter than the range start.
std::optional<std::uint32_t> IntegrityCrc(ByteView head, std::uint32_t peHeaderOffset);

// The form that installers built before signing was supported store: the
// same range with the certificate directory entry included.
std::optional<std::uint32_t> IntegrityCrcWithCertificateEntry(ByteView head, std::uint32_t peHeaderOffset);

// Integrity mode 1: 0, or 40 when `fileChecksum` is neither form of the head's checksum.
int CheckIntegrity(ByteView head, std::uint32_t peHeaderOffset, std::uint32_t fileChecksum);

// Appends what follows the `.setup` raw data in `file` to `head` (42 when it
// cannot be read) and removes the section from the headers. 35 when the head
// does not hold the headers and section table that have to change. A
// signature the installer carries cannot hold for the stripped image (its
// headers differ): its certificate table is left out and the certificate
// directory and PE checksum are cleared.
ExecutableBytes BuildStrippedInstaller(std::vector<std::uint8_t> head, const ByteSource& file,
                                       const SetupSection& section);

// The header changes alone: one section fewer, initialised-data and image size
// lowered by the raw size, the entry removed from the table. False (and the
// image unchanged) when the image is too short for them.
bool RemoveSetupSectionEntry(std::vector<std::uint8_t>& image, const SetupSection& section);

}  // namespace palisade
