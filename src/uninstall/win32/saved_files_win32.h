// The files saved for the uninstaller and next to the product: icons, the
// background picture, readme and licence texts.
#pragma once

#include <cstdint>
#include <string>

#include "core/byte_view.h"
#include "variables/install_context.h"

namespace palisade {

// uninstall.ico in the uninstall data folder, when the settings carry one.
void SaveUninstallerIcon(InstallContext& context);

// product.ico in the uninstall data folder; true when it was saved.
bool SaveProductIcon(InstallContext& context);

// "Installer Background.bmp" for the uninstaller's window, when the settings
// keep the picture (`SettingsFlags1` 0x8000) and there is one.
void SaveBackgroundPicture(InstallContext& context);

// The readme texts (`SettingsFlags2` 0x4000) and licence texts (0x8000) into
// the installation folder.
void SaveReadmeAndLicenceTexts(InstallContext& context);

}  // namespace palisade
