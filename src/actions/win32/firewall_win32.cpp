// The installation action that adds Windows Firewall program and port exceptions.
#include "actions/win32/firewall_win32.h"

#include <windows.h>
// The system headers below need <windows.h> first.

#include "actions/firewall_rules.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/firewall_profile_win32.h"
#include "core/fatal_codes.h"
#include "core/win32/com_apartment.h"
#include "core/win32/file_system.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"

namespace palisade {
namespace {

// A port line: one exception per protocol bit; it counts as added when at
// least one of them was (the uninstaller removes what is there).
bool AddPortLine(InstallContext& context, FirewallProfile& profile, const FirewallLine& line, std::uint32_t port) {
    std::u16string name = ExceptionName(line, context.settings.displayName);
    std::vector<PortProtocol> protocols = ProtocolsFor(ProtocolBitsOf(line));
    if (protocols.empty() || !IsValidPort(port)) {
        context.log.runLog.AppendWide(PortFailedText(port, std::int32_t(E_INVALIDARG)));
        return false;
    }
    bool added = false;
    for (const PortProtocol& protocol : protocols) {
        HRESULT result = profile.AddOpenPort(port, protocol.ipProtocol, name);
        if (FAILED(result)) {
            context.log.runLog.AppendWide(PortFailedText(port, std::int32_t(result)));
        } else {
            context.log.runLog.AppendWide(PortAddedText(protocol.word, port));
            added = true;
        }
    }
    return added;
}

// A program line; `resolved` receives the full path for the record.
bool AddProgramLine(InstallContext& context, FirewallProfile& profile, const FirewallLine& line,
                    std::u16string& resolved) {
    resolved = ResolveProgramPath(context.Expand(line.target), context.state.installFolder);
    if (!FileExists(resolved)) {
        context.log.runLog.AppendWide(ProgramMissingText(resolved));
        return false;
    }
    HRESULT result = profile.AddAuthorizedProgram(resolved, ExceptionName(line, context.settings.displayName));
    if (FAILED(result)) {
        context.log.runLog.AppendWide(ProgramFailedText(resolved, std::int32_t(result)));
        return false;
    }
    context.log.runLog.AppendWide(ProgramAddedText(resolved));
    return true;
}

}  // namespace

StepResult AddFirewallExceptions(InstallContext& context) {
    if (context.settings.firewallRules.empty()) return StepResult::Continue();
    if (context.state.portable && context.Payload(PayloadFlags::kPortableNoFirewall)) return StepResult::Continue();
    // Every line is checked before anything changes: a damaged list stops the
    // run without leaving half of its exceptions behind.
    FirewallParse parsed = ParseFirewallRules(context.settings.firewallRules);
    if (parsed.malformed) return StepResult::Fatal(FatalCode::kFirewallRules);
    if (parsed.lines.empty()) return StepResult::Continue();

    ComApartment com;  // outlives every firewall object below
    FirewallProfile profile;
    if (HRESULT connected = profile.Connect(); FAILED(connected)) {
        context.log.runLog.AppendWide(ConnectFailedText(std::int32_t(connected)));
        return StepResult::Continue();
    }
    for (const FirewallLine& line : parsed.lines) {
        context.progress.PumpMessages();
        std::u16string resolved = line.target;
        std::optional<std::uint32_t> port = PortNumberOf(line);
        bool added =
            port ? AddPortLine(context, profile, line, *port) : AddProgramLine(context, profile, line, resolved);
        if (added && !StaysAfterUninstall(line)) context.record.firewall += FirewallRecordLine(line, resolved);
    }
    return StepResult::Continue();
}

}  // namespace palisade
