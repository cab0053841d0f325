// The registry path notation used by the registry entries, associations and
// the uninstall records: "\HKLM\sub\key", with short or long root names and
// the extra root "HKAU" (the current-user part of every user profile).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace palisade {

enum class KeyRoot { LocalMachine, CurrentUser, ClassesRoot, Users, CurrentConfig, DynData, AllUsers };

struct RegistryPath {
    KeyRoot root = KeyRoot::LocalMachine;
    std::u16string subKey;  // without leading or trailing backslash; empty for the root itself
};

// "\HKLM\Software\X", "HKEY_CURRENT_USER\Software" or "\HKAU\Software\X\" →
// root and sub-key; the leading backslash is optional and trailing ones are
// dropped. Root names are compared without regard to case. nullopt for an
// unknown or missing root, or for an empty component inside the sub-key
// ("a\\b"), which the registry would refuse anyway.
std::optional<RegistryPath> ParseRegistryPath(std::u16string_view text);

// The short root name ("HKLM", ..., "HKAU").
std::u16string_view KeyRootName(KeyRoot root);

// "\" + short root name, then "\" + sub-key when there is one.
std::u16string RegistryPathNotation(const RegistryPath& path);

}  // namespace palisade
