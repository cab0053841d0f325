// Opening a folder to all users: Everyone gets full access, inherited below.
#pragma once

#include <cstdint>
#include <string_view>

#include "variables/install_context.h"

namespace palisade {

// `grantFolderRights`: does nothing for an empty folder or when the settings
// do not ask for it (`SettingsFlags2` 0x40000); logs the attempt and its result.
void GrantFolderRights(std::u16string_view folder, InstallContext& context);

// The installation folder's form of the grant: everything below the folder
// is open to everyone, the folder itself without the right to delete or
// rename what it holds, and `protectedFolder` (the uninstall data folder,
// which holds the uninstaller and Uninstall.DAT) keeps the access the
// installation folder had before, protected from the grant. When the
// installation folder itself holds the uninstaller, nothing is granted.
void GrantInstallFolderRights(std::u16string_view installFolder, std::u16string_view protectedFolder,
                              InstallContext& context);

}  // namespace palisade
