// Checks of the firewall rules, the registry entries and the product's key.
#include "actions/author_text_checks.h"

#include "actions/firewall_rules.h"
#include "actions/protected_keys.h"
#include "actions/registry_entry_lines.h"
#include "core/text.h"

namespace palisade {

namespace {

bool IsDecimal(std::u16string_view text) {
    if (text.empty()) return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

std::string FirewallLineProblem(const FirewallLine& line) {
    if (line.target.empty()) return "the first field must be a port number or a program's path";
    if (line.keep != u"" && line.keep != u"0" && line.keep != u"1") {
        return "the fourth field (keep after uninstallation) must be 0, 1 or empty, not '" + Utf16ToUtf8(line.keep) +
               "'";
    }
    if (!IsDecimal(line.target)) return {};  // a program: its path may hold variables
    std::optional<std::uint32_t> port = PortNumberOf(line);
    if (!port || !IsValidPort(*port)) return "the port must lie in 1..65535, not " + Utf16ToUtf8(line.target);
    std::uint32_t bits = ProtocolBitsOf(line);
    if (!IsDecimal(line.protocol) || bits < 1 || bits > 3) {
        return "the third field of a port line must be 1 (TCP), 2 (UDP) or 3 (both), not '" +
               Utf16ToUtf8(line.protocol) + "'";
    }
    return {};
}

}  // namespace

std::vector<AuthorTextProblem> CheckFirewallRules(std::u16string_view text) {
    std::vector<AuthorTextProblem> problems;
    std::vector<std::u16string> lines = SplitEntryLines(text);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        FirewallParse parse = ParseFirewallRules(lines[index]);
        int number = int(index + 1);
        if (parse.malformed) {
            problems.push_back({"FirewallRules", number,
                                "a rule is \"target;name;protocol bits;keep\": four fields separated by ';'", true});
            continue;
        }
        if (parse.lines.empty()) continue;  // a blank line
        if (std::string problem = FirewallLineProblem(parse.lines.front()); !problem.empty()) {
            problems.push_back({"FirewallRules", number, problem, false});
        }
    }
    return problems;
}

namespace {

// The key lies in the product's own key of one of the roots it is made in.
bool InProductKey(const RegistryPath& key, std::u16string_view productRegistry) {
    if (productRegistry.empty()) return false;
    if (key.root != KeyRoot::LocalMachine && key.root != KeyRoot::CurrentUser && key.root != KeyRoot::AllUsers) {
        return false;
    }
    std::u16string own = u"Software\\" + std::u16string(productRegistry);
    while (!own.empty() && own.back() == u'\\') own.pop_back();
    if (key.subKey.size() < own.size() || !EqualsIgnoreCase(key.subKey.substr(0, own.size()), own)) return false;
    return key.subKey.size() == own.size() || key.subKey[own.size()] == u'\\';
}

}  // namespace

std::vector<AuthorTextProblem> CheckRegistryEntries(std::u16string_view text, std::u16string_view productRegistry) {
    std::vector<AuthorTextProblem> problems;
    std::vector<std::u16string> lines = SplitEntryLines(text);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        RegistryEntryLine line = ParseEntryLine(lines[index]);
        int number = int(index + 1);
        if (line.kind == RegistryLineKind::Illegal) {
            problems.push_back({"RegistryEntries", number, line.problem, false});
        } else if (line.kind == RegistryLineKind::Key && IsProtectedKey(line.key)) {
            problems.push_back({"RegistryEntries", number,
                                "the key " + Utf16ToUtf8(RegistryPathNotation(line.key)) +
                                    " belongs to the system or to every program and is never removed; "
                                    "create a key of the product's own",
                                false});
        } else if (line.kind == RegistryLineKind::Value && (line.operation == 3 || line.operation == 7) &&
                   InProductKey(line.key, productRegistry)) {
            problems.push_back({"RegistryEntries", number,
                                "operation " + std::to_string(line.operation) +
                                    " keeps the value after uninstallation, but it lies in the product's own key "
                                    "(ProductRegistry), which is removed whole; keep it in another key or use "
                                    "operation " + (line.operation == 3 ? "1" : "6"),
                                false});
        }
    }
    return problems;
}

std::vector<AuthorTextProblem> CheckProductRegistry(std::u16string_view name) {
    if (name.empty()) return {};
    std::optional<RegistryPath> key = ParseRegistryPath(u"\\HKLM\\Software\\" + std::u16string(name));
    if (key && !IsProtectedKey(*key)) return {};
    std::string why = key ? "Software\\" + Utf16ToUtf8(name) + " is shared by the system or by every program"
                          : "'" + Utf16ToUtf8(name) + "' is not a key name";
    return {{"ProductRegistry", 0, why + "; name the product's own key, e.g. \"Vendor\\\\Product\"", false}};
}

}  // namespace palisade
