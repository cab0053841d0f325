// Which parents of a removed registry key the uninstaller may take away when
// they are left empty: the keys the installation had to create on the way.
#pragma once

#include <vector>

#include "actions/registry_path.h"

namespace palisade {

// The parents of `key`, deepest first, that may be deleted once empty: each
// one the deletion rules allow (never a root or a top-level branch such as
// "\HKLM\Software"), at most 20 levels. The caller stops at the first parent
// that is not empty.
std::vector<RegistryPath> ParentKeysToTry(const RegistryPath& key);

}  // namespace palisade
