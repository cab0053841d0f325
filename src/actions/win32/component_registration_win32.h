// The installation action that adds COM servers, type libraries and driver INF files registered after the file walk (progress 93 to 95).
#pragma once

#include "variables/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
void RegisterComponents(InstallContext& context);

}  // namespace palisade
