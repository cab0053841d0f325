// Builds the complete installer executable: the stub with the payload section appended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/item_stream_writer.h"
#include "payload/payload_writer.h"
#include "payload/settings.h"

namespace palisade {

struct InstallerBuild {
    std::vector<std::uint8_t> image;
    std::string error;               // empty on success
    std::vector<std::string> notes;  // choices the builder should tell the author about
};

// Encodes the items and the settings (chunks compressed when `SettingsFlags1`
// bit 0x20 is set, the archive in the file when `ArchiveInFile` is set, the
// file checksum stored when `IntegrityMode` is 1) and appends them to `stub`.
// An archive too short to be kept in the file after the section is kept in
// the section instead, with `ArchiveInFile` cleared and a note saying so.
// A non-empty `uninstallerImage` is carried after the archive and becomes
// the uninstaller as it is (uninstaller_image.h).
InstallerBuild BuildInstallerImage(const std::vector<std::uint8_t>& stub, const InstallerSettings& settings,
                                   const std::vector<PayloadItem>& items, const PayloadOptions& options,
                                   const std::vector<std::uint8_t>& uninstallerImage = {});

}  // namespace palisade
