// The installation action that adds COM servers, type libraries and driver INF files registered after the file walk (progress 93 to 95).
#include "actions/win32/component_registration_win32.h"

namespace palisade {

// Not part of the program yet: the step does nothing (README, feature table).
void RegisterComponents(InstallContext&) {}

}  // namespace palisade
