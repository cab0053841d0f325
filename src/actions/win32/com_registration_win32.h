// Registration of COM servers (through regsvr32.exe, then in-process) and of
// type libraries, each guarded against faults in the foreign code.
#pragma once

#include "variables/install_context.h"

namespace palisade {

// The servers first, then the libraries, each in entry order; afterwards the
// window that was active before is made active again.
void RegisterComServersAndTypeLibraries(InstallContext& context);

}  // namespace palisade
