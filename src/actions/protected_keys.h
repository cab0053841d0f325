// Registry keys that belong to the system or to everyone: never deleted
// whole, whatever a record says, and never named by an author's key line.
#pragma once

#include "actions/registry_path.h"

namespace palisade {

// True for a key that no installation may delete with everything below it:
// the roots and their top-level branches, "Software" and its shared
// branches (Microsoft, Classes, Policies, Wow6432Node, Clients, ...), the
// well-known keys of Windows below "Software\Microsoft" (Windows and
// Windows NT down to the level below CurrentVersion's own keys, so
// "...\CurrentVersion\Run" or "...\Uninstall" stay but
// "...\Uninstall\Acme" may go), the class keys every program relies on
// (CLSID, Interface, TypeLib, "*", exefile, ".exe", ...) and everything in
// SYSTEM but a service of its own. "Software\Wow6432Node\X" and
// "Software\Classes\X" are judged as "Software\X" and "\HKCR\X" are.
bool IsProtectedKey(const RegistryPath& key);

}  // namespace palisade
