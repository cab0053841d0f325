// The installation action that adds Windows Firewall program and port exceptions.
#pragma once

#include "core/step_result.h"

#include "variables/install_context.h"

namespace palisade {

// Runs the whole step; failures are logged and never stop the installation.
StepResult AddFirewallExceptions(InstallContext& context);

}  // namespace palisade
