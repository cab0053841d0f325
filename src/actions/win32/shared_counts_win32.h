// The Windows side of shared files: creating the shared folder and raising
// the counts in the SharedDLLs key.
#pragma once

#include "variables/install_context.h"

namespace palisade {

// Works out the shared folder into the run state (%SharedDir%) and creates
// it; false when it could not be created (the failure is in the log).
// Grants everyone access to it when the settings ask for it.
bool PlaceSharedFolder(InstallContext& context);

// Raises the count of every shared file of this run that this product has not
// counted before, and grows the record of counted files. Does nothing unless
// shared files are in use (`SettingsFlags1` 0x4) and the installation is not portable.
void IncrementSharedCounts(InstallContext& context);

}  // namespace palisade
