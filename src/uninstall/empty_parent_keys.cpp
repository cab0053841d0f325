// Parents of a removed registry key that may go once they are empty.
#include "uninstall/empty_parent_keys.h"

#include "uninstall/removal_rules.h"

namespace palisade {

std::vector<RegistryPath> ParentKeysToTry(const RegistryPath& key) {
    std::vector<RegistryPath> parents;
    if (!IsDeletableKey(key)) return parents;
    RegistryPath parent = key;
    while (parents.size() < std::size_t(kMaxKeyChainLevels)) {
        std::size_t slash = parent.subKey.rfind(u'\\');
        if (slash == std::u16string::npos) break;
        parent.subKey.resize(slash);
        if (!IsDeletableKey(parent)) break;
        parents.push_back(parent);
    }
    return parents;
}

}  // namespace palisade
