// Opening a folder to all users: Everyone gets full access, inherited below.
#pragma once

#include <string_view>

#include "actions/install_context.h"

namespace palisade {

// `grantFolderRights`: does nothing for an empty folder or when the settings
// do not ask for it (`SettingsFlags2` 0x40000); logs the attempt and its result.
void GrantFolderRights(std::u16string_view folder, InstallContext& context);

}  // namespace palisade
