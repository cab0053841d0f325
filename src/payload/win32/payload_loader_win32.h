// The stub's reading of its own payload: header, settings, integrity test,
// stripped uninstaller image, archive and item walk. Every failed check ends
// the run through the fatal path with its code.
#pragma once

#include <memory>
#include <vector>

#include "core/win32/file_mapping.h"
#include "core/win32/own_executable.h"
#include "payload/payload_decoder.h"
#include "payload/payload_header.h"
#include "payload/section_locator.h"
#include "payload/settings.h"

namespace palisade {

struct LoadedPayload {
    ByteView section;  // the `.setup` data where the loader mapped it
    PayloadHeader header;
    std::unique_ptr<PayloadCipher> cipher;
    InstallerSettings settings;
    // The executable without its `.setup` section (when `PayloadFlags` 0x20).
    std::vector<std::uint8_t> strippedInstaller;
    std::uint64_t uninstallerSize = 0;
};

// Reads the payload header and the settings, tests the executable's integrity
// and prepares the stripped image. Never returns on a failed check.
std::unique_ptr<LoadedPayload> LoadPayload(HINSTANCE instance, const OwnExecutable& executable,
                                           const SetupSection& section);

// The archive, checked whole (length 46, checksum 55): a view of the mapped
// section, or of `mapping` when the settings keep it in the file (mapped,
// not read, so that a large archive is paged in and out as it is decoded).
ByteView LoadArchive(const LoadedPayload& payload, const OwnExecutable& executable, const SetupSection& section,
                     MappedFileRange& mapping);

}  // namespace palisade
