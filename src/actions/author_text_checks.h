// Checks of the author's texts that the installer acts on only in the middle
// of an installation (firewall rules, registry entries). The builder refuses
// a project whose texts fail them, naming the line; the installer runs the
// same checks before it changes anything, so that a text it cannot carry out
// never leaves a product half installed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade {

struct AuthorTextProblem {
    std::string setting;  // the setting's name: "FirewallRules", "RegistryEntries", "ProductRegistry"
    int line = 0;         // the line of the text, from 1; 0 for the whole value
    std::string message;  // English, for the builder's report
    bool fatal = false;   // the installer would stop on it (the rest it reports and skips)
};

// Each line "target;name;protocol bits;keep": four fields; a port from 1 to
// 65535 with protocol bits 1 (TCP), 2 (UDP) or 3 (both); keep 0, 1 or empty.
// A wrong field count is fatal to the installer (code 90).
std::vector<AuthorTextProblem> CheckFirewallRules(std::u16string_view text);

// Every line a key or a value line the installer can carry out; no key line
// naming a key that belongs to the system or to every program (those are
// never removed, so the line would leave a key behind that looks like the
// product's); and no value meant to stay after uninstallation (operations 3
// and 7) inside the product's own key `productRegistry` below Software,
// which goes whole with the product.
std::vector<AuthorTextProblem> CheckRegistryEntries(std::u16string_view text, std::u16string_view productRegistry = {});

// The product's own key below Software must be a key of its own, not one
// of the shared ones ("Microsoft", "Classes", ...).
std::vector<AuthorTextProblem> CheckProductRegistry(std::u16string_view name);

}  // namespace palisade
