// Reads an installer the way the stub does: section, header, settings, integrity, archive, items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "payload/file_entry.h"
#include "payload/payload_header.h"
#include "payload/section_locator.h"
#include "payload/settings.h"

namespace palisade::tools {

// One item with its fields copied out of the record.
struct InspectedItem {
    FileEntry entry;      // `data` is not kept valid; see dataSize
    std::size_t dataSize = 0;
};

struct Inspection {
    std::uint64_t fileSize = 0;
    std::optional<SetupSection> section;
    std::optional<PayloadHeader> header;
    std::optional<InstallerSettings> settings;
    std::optional<std::uint32_t> integrityCrc;  // of the head, whatever the integrity mode
    // With `PayloadFlags` 0x20: the uninstaller the installation writes.
    struct Uninstaller {
        bool carried = false;  // the builder's (signed) image, not the installer stripped at installation
        bool signedImage = false;
        std::size_t size = 0;
    };
    std::optional<Uninstaller> uninstaller;
    bool signedInstaller = false;  // a certificate table is named and lies in the file
    std::vector<InspectedItem> items;

    // The first check that failed: the installer's error code (0 for a failure
    // without one, such as a missing section) and what was checked.
    int errorCode = 0;
    std::string failedCheck;
    bool Failed() const { return !failedCheck.empty(); }
};

// Runs every check the installer runs, in its order, stopping at the first
// failure. With `walkItems` false the archive is checked but not walked.
Inspection InspectInstaller(const std::vector<std::uint8_t>& image, bool walkItems = true);

// What the installer checks when it raises `code`.
std::string DescribeErrorCode(int code);

}  // namespace palisade::tools
