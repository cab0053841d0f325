// The installation action that adds the shortcuts of the file entries and of
// the author's list, and the uninstaller's own shortcut at the finish.
#pragma once

#include <string>

#include "variables/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
void CreateShortcuts(InstallContext& context);

// The uninstaller's shortcut (placements `shortcutPlacements.forUninstaller`,
// description message 86), made when the installation leaves an uninstaller.
void CreateUninstallShortcuts(InstallContext& context, const std::u16string& uninstaller,
                              const std::u16string& arguments);

}  // namespace palisade
