// Takes the "[Firewall]" exceptions out of the firewall's current profile.
#include <windows.h>

#include "actions/firewall_rules.h"
#include "actions/win32/firewall_profile_win32.h"
#include "core/text.h"
#include "uninstall/win32/component_undo_win32.h"

namespace palisade {

void RemoveFirewallExceptions(const std::vector<std::string>& lines, InstallLog& log) {
    if (lines.empty()) return;
    std::u16string text;
    for (const std::string& line : lines) text += Utf8ToUtf16(line) + u"\r\n";
    FirewallParse parsed = ParseFirewallRules(text);
    if (parsed.malformed) return;  // a damaged record names nothing for sure
    FirewallProfile profile;
    if (HRESULT connected = profile.Connect(); FAILED(connected)) {
        log.runLog.AppendWide(ConnectFailedText(std::int32_t(connected)));
        return;
    }
    for (const FirewallLine& line : parsed.lines) {
        std::optional<std::uint32_t> port = PortNumberOf(line);
        HRESULT result = S_OK;
        if (port) {
            // Both protocols are tried; the line is OK only when each went.
            for (const PortProtocol& protocol : ProtocolsFor(ProtocolBitsOf(line))) {
                HRESULT removed = profile.RemoveOpenPort(*port, protocol.ipProtocol);
                if (FAILED(removed)) result = removed;
            }
        } else {
            result = profile.RemoveAuthorizedProgram(line.target);
        }
        log.runLog.AppendWidePieces({u"Removed firewall exception ", line.target,
                                     SUCCEEDED(result) ? u": OK\r\n" : u": FAILED\r\n"});
    }
}

}  // namespace palisade
