// Writing the product's entry in the system's list of installed programs.
#pragma once

#include "core/step_result.h"
#include "uninstall/product_key_values.h"
#include "variables/install_context.h"

namespace palisade {

// Creates or opens the product key (HKEY_LOCAL_MACHINE, 32-bit view), writes
// every value in order and checks "UninstallString" by reading it back. An
// author's value of an unknown type ends the run with fatal error 200 before
// anything is written.
StepResult WriteProductKey(InstallContext& context, const ProductKeyFacts& facts);

}  // namespace palisade
