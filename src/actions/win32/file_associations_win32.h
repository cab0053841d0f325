// The installation action that adds file associations: extension and ProgID keys, verbs, icons, Open With.
#pragma once

#include "variables/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
void InstallAssociations(InstallContext& context);

}  // namespace palisade
