// The installation action that adds the product's registry key, the author's registry entries, the merge file and App Paths.
#pragma once

#include "variables/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
void WriteRegistryEntries(InstallContext& context);

}  // namespace palisade
