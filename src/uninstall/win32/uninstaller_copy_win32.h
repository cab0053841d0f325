// Leaving the uninstaller behind: the installer without its payload, or a
// copy of the running program.
#pragma once

#include <string>

#include "core/byte_view.h"
#include "variables/install_context.h"

namespace palisade {

// With `PayloadFlags` 0x20, writes `strippedImage` through the file
// installation; otherwise copies `runningExecutable`, falling back to a
// temporary copy that replaces the uninstaller at the next restart.
void WriteUninstaller(InstallContext& context, const std::u16string& uninstallerPath, ByteView strippedImage,
                      const std::u16string& runningExecutable);

}  // namespace palisade
