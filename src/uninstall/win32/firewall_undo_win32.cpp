// Takes the "[Firewall]" exceptions out of the firewall's current profile.
#include <windows.h>
#include <netfw.h>
#include <oleauto.h>

#include <functional>

#include "actions/firewall_rules.h"
#include "core/text.h"
#include "core/win32/guarded_call.h"
#include "core/win32/wide.h"
#include "uninstall/win32/component_undo_win32.h"

namespace palisade {
namespace {

constexpr CLSID kNetFwMgr = {0x304CE942, 0x6E39, 0x40D8, {0x94, 0x3A, 0xB9, 0x13, 0xC4, 0x0C, 0x9C, 0xD4}};
constexpr IID kINetFwMgr = {0xF7898AF5, 0xCAC4, 0x4632, {0xA2, 0xEC, 0xDA, 0x06, 0xE5, 0x11, 0x1A, 0xF2}};
constexpr HRESULT kCrashed = static_cast<HRESULT>(0x8000FFFF);

HRESULT Guarded(const std::function<HRESULT()>& call) {
    HRESULT result = kCrashed;
    if (RunGuarded([&] { result = call(); }).faulted) return kCrashed;
    return result;
}

// Connects to the current profile and runs `action` on it; the profile is
// released inside the guarded piece.
HRESULT WithProfile(const std::function<HRESULT(INetFwProfile*)>& action) {
    return Guarded([&] {
        INetFwMgr* manager = nullptr;
        HRESULT result = ::CoCreateInstance(kNetFwMgr, nullptr, CLSCTX_INPROC_SERVER, kINetFwMgr,
                                            reinterpret_cast<void**>(&manager));
        if (FAILED(result)) return result;
        INetFwPolicy* policy = nullptr;
        INetFwProfile* profile = nullptr;
        if (SUCCEEDED(result = manager->get_LocalPolicy(&policy))) {
            if (SUCCEEDED(result = policy->get_CurrentProfile(&profile))) {
                result = action(profile);
                profile->Release();
            }
            policy->Release();
        }
        manager->Release();
        return result;
    });
}

HRESULT RemovePort(INetFwProfile* profile, std::uint32_t port, std::int32_t protocol) {
    INetFwOpenPorts* ports = nullptr;
    HRESULT result = profile->get_GloballyOpenPorts(&ports);
    if (FAILED(result)) return result;
    result = ports->Remove(LONG(port), NET_FW_IP_PROTOCOL(protocol));
    ports->Release();
    return result;
}

HRESULT RemoveProgram(INetFwProfile* profile, std::u16string_view path) {
    INetFwAuthorizedApplications* programs = nullptr;
    HRESULT result = profile->get_AuthorizedApplications(&programs);
    if (FAILED(result)) return result;
    BSTR widePath = ::SysAllocStringLen(ToWide(path).c_str(), UINT(path.size()));
    result = programs->Remove(widePath);
    ::SysFreeString(widePath);
    programs->Release();
    return result;
}

}  // namespace

void RemoveFirewallExceptions(const std::vector<std::string>& lines, InstallLog& log) {
    if (lines.empty()) return;
    std::u16string text;
    for (const std::string& line : lines) text += Utf8ToUtf16(line) + u"\r\n";
    FirewallParse parsed = ParseFirewallRules(text);
    if (parsed.malformed) return;  // a damaged record names nothing for sure
    HRESULT connected = WithProfile([&](INetFwProfile* profile) {
        for (const FirewallLine& line : parsed.lines) {
            std::optional<std::uint32_t> port = PortNumberOf(line);
            HRESULT result = S_OK;
            if (port) {
                // Both protocols are tried; the line is OK only when each went.
                for (const PortProtocol& protocol : ProtocolsFor(ProtocolBitsOf(line))) {
                    HRESULT removed = RemovePort(profile, *port, protocol.ipProtocol);
                    if (FAILED(removed)) result = removed;
                }
            } else {
                result = RemoveProgram(profile, line.target);
            }
            log.runLog.AppendWidePieces({u"Removed firewall exception ", line.target,
                                         SUCCEEDED(result) ? u": OK\r\n" : u": FAILED\r\n"});
        }
        return S_OK;
    });
    if (FAILED(connected)) log.runLog.AppendWide(ConnectFailedText(std::int32_t(connected)));
}

}  // namespace palisade
