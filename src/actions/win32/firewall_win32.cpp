// The installation action that adds Windows Firewall program and port exceptions.
#include "actions/win32/firewall_win32.h"

namespace palisade {

// Not part of the program yet: the step does nothing (README, feature table).
void AddFirewallExceptions(InstallContext&) {}

}  // namespace palisade
