// The installation action that adds Windows Firewall program and port exceptions.
#pragma once

#include "actions/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
void AddFirewallExceptions(InstallContext& context);

}  // namespace palisade
