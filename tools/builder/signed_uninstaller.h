// The uninstaller of a signed build: the stub with the uninstaller icon put
// into its resources, signed on the build machine and carried by the
// installer, so that the installation writes it without changing a byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builder/sign_command.h"
#include "payload/settings.h"

namespace palisade::tools {

// True when the installation writes an uninstaller stripped from the
// installer (`Uninstaller` and `StrippedInstaller`): that is the image a
// signed build must carry ready-made.
bool WritesStrippedUninstaller(const InstallerSettings& settings, std::uint32_t payloadFlags);

// The unsigned uninstaller image: the stub, with `UninstallerIcon` (when
// given) in place of its icons. An error text instead when it cannot be made.
struct UninstallerImage {
    std::vector<std::uint8_t> image;
    std::string error;
};
UninstallerImage MakeUninstallerImage(const std::vector<std::uint8_t>& stub, const InstallerSettings& settings);

// Made and signed; nothing (with an error reported) when either step fails.
std::optional<std::vector<std::uint8_t>> MakeSignedUninstaller(const std::vector<std::uint8_t>& stub,
                                                               const InstallerSettings& settings,
                                                               const SignCommand& sign, Progress& progress,
                                                               Diagnostics& diagnostics);

}  // namespace palisade::tools
