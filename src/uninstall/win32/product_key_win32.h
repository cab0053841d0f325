// Writing the product's entry in the system's list of installed programs.
#pragma once

#include "uninstall/product_key_values.h"
#include "variables/install_context.h"

namespace palisade {

// The plan's values that live in keys of their own (an author's value whose
// name holds a backslash); each key goes into the "[Registry2]" record, so
// these come before the uninstall data is composed.
void WriteValuesInOtherKeys(InstallContext& context, const std::vector<ProductKeyValue>& values);

// Creates or opens the product key (HKEY_LOCAL_MACHINE, 32-bit view), writes
// the plan's other values in order and checks "UninstallString" by reading
// it back.
void WriteProductKeyValues(InstallContext& context, const std::vector<ProductKeyValue>& values);

}  // namespace palisade
