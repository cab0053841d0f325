// libFuzzer target: the readers of texts that come from the settings or from
// the machine and steer the installer's actions: variable expansion, the
// firewall rules, the pending-rename list, the PATH edit and the old-log
// conversion. The first byte picks the reader; the rest is its input
// (UTF-16 little-endian where it takes text). Each must end, stay in bounds
// and keep its own promises.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../unit/fake_system_facts.h"
#include "actions/firewall_rules.h"
#include "actions/pending_renames.h"
#include "actions/system_path_edit.h"
#include "log/install_log_text.h"
#include "log/installation_record.h"
#include "variables/expand_variables.h"

namespace {

using palisade::PathSet;

std::u16string Wide(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += char16_t(data[i] | (data[i + 1] << 8));
    return text;
}

void FuzzExpansion(const std::u16string& text) {
    palisade::testing::FakeSystemFacts facts;
    facts.environment[u"PATH"] = u"C:\\Windows";
    palisade::InstallationState state;
    state.installFolder = u"C:\\Program Files\\Acme";
    (void)palisade::ExpandVariables(text, state, facts);
}

void FuzzFirewall(const std::u16string& text) {
    palisade::FirewallParse parsed = palisade::ParseFirewallRules(text);
    for (const palisade::FirewallLine& line : parsed.lines) {
        (void)palisade::PortNumberOf(line);
        (void)palisade::ProtocolsFor(palisade::ProtocolBitsOf(line));
        (void)palisade::FirewallRecordLine(line, u"C:\\Program Files\\Acme\\app.exe");
    }
}

void FuzzPendingRenames(const std::u16string& text) {
    std::vector<std::u16string> strings = palisade::SplitMultiString(text);
    PathSet installed;
    for (std::size_t i = 0; i < strings.size(); i += 3) installed.Insert(palisade::StripPendingPrefix(strings[i]));
    palisade::PendingListEdit edit = palisade::EditPendingList(strings, installed);
    if (edit.strings.size() % 2 != 0) __builtin_trap();  // always written back in pairs
    (void)palisade::JoinMultiString(edit.strings);
}

void FuzzPathEdit(const std::u16string& text) {
    std::size_t split = text.find(u'|');
    std::u16string value = text.substr(0, split);
    std::u16string folder = split == std::u16string::npos ? u"C:\\Acme" : text.substr(split + 1);
    (void)palisade::PathValueHasFolder(value, folder);
    (void)palisade::RemoveFolderFromPathValue(value, folder);
    if (auto added = palisade::AddFolderToPathValue(value, folder)) (void)palisade::RemoveFolderFromPathValue(*added, folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t* rest = data + 1;
    std::size_t restSize = size - 1;
    switch (data[0] % 5) {
        case 0: FuzzExpansion(Wide(rest, restSize)); break;
        case 1: FuzzFirewall(Wide(rest, restSize)); break;
        case 2: FuzzPendingRenames(Wide(rest, restSize)); break;
        case 3: FuzzPathEdit(Wide(rest, restSize)); break;
        default: (void)palisade::ConvertLegacyLog(std::string(reinterpret_cast<const char*>(rest), restSize)); break;
    }
    return 0;
}
