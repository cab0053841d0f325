// Installs the driver INF files written by the file walk into the system's
// INF store through Setupapi.dll, loaded on demand.
#pragma once

#include "variables/install_context.h"

namespace palisade {

// Records each final INF path in the "[INF]" section for the uninstaller.
void InstallDriverInfFiles(InstallContext& context);

}  // namespace palisade
