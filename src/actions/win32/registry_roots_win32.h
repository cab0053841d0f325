// The predefined registry key of each root an author's registry line names.
#pragma once

#include <windows.h>

#include "actions/registry_path.h"

namespace palisade {

// HKEY_CURRENT_USER for the every-user root, whose other hives come from UserHives.
HKEY KeyRootHandle(KeyRoot root);

}  // namespace palisade
