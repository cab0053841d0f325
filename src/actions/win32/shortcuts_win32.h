// The installation action that adds the shortcuts of the file entries and of the author's list.
#pragma once

#include "actions/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
void CreateShortcuts(InstallContext& context);

}  // namespace palisade
