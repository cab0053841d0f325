// Opening a folder to all users: Everyone gets full access, inherited below.
#pragma once

#include <cstdint>
#include <string_view>

#include "variables/install_context.h"

namespace palisade {

// `grantFolderRights`: does nothing for an empty folder or when the settings
// do not ask for it (`SettingsFlags2` 0x40000); logs the attempt and its result.
void GrantFolderRights(std::u16string_view folder, InstallContext& context);

// Clears the read-only, hidden and system attributes of `path`, takes
// ownership of it, drops the access-denied entries of its access list and
// lets Everyone do everything, inherited below. 0, or the system error code.
std::uint32_t OpenToEveryone(std::u16string_view path);

}  // namespace palisade
