// The stub's reading of its own payload: header, settings, integrity test,
// stripped uninstaller image, archive and item walk. Every failed check ends
// the run through the fatal path with its code.
#pragma once

#include <memory>
#include <vector>

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

// Where the archive lies in the executable's file: inside the `.setup`
// section, or after it when the settings keep it there. Either way it is
// read from the file in pieces as it is consumed, never through the mapped
// image, so that its pages are not held for the whole run.
struct ArchiveLocation {
    std::uint64_t position = 0;
    std::uint64_t length = 0;
};

// The archive, checked whole (length 46, checksum 55) before anything is decoded.
ArchiveLocation LoadArchive(const LoadedPayload& payload, const OwnExecutable& executable, const SetupSection& section);

}  // namespace palisade
