// The installation action that adds the product's registry key, the author's registry entries, the merge file and App Paths.
#include "actions/win32/registry_entries_win32.h"

namespace palisade {

// Not part of the program yet: the step does nothing (README, feature table).
void WriteRegistryEntries(InstallContext&) {}

}  // namespace palisade
