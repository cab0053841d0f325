// Reading what the registry says about installed products: this product's
// uninstall entry, a master product's entry, and registry-held folders.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "startup/install_decisions.h"
#include "uninstall/product_key_values.h"

namespace palisade {


// The entry under HKLM's uninstall key (the 32-bit view this process sees);
// nullopt when the key does not exist.
std::optional<ExistingInstallation> ReadUninstallEntry(std::u16string_view entryName);

// A text value (REG_SZ or REG_EXPAND_SZ, not expanded); nullopt when missing.
std::optional<std::u16string> ReadRegistryValueText(const RegistryValuePath& path);

}  // namespace palisade
