// The installation action that adds Windows Firewall program and port exceptions.
#include "actions/win32/firewall_win32.h"

#include <windows.h>
// The system headers below need <windows.h> first.
#include <netfw.h>
#include <oleauto.h>

#include "actions/firewall_rules.h"
#include "actions/win32/com_apartment_win32.h"
#include "actions/win32/file_writer_win32.h"
#include "core/win32/guarded_call.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "startup/win32/fatal.h"

namespace palisade {
namespace {

// The firewall manager's classes, created in-process.
constexpr CLSID kNetFwMgr = {0x304CE942, 0x6E39, 0x40D8, {0x94, 0x3A, 0xB9, 0x13, 0xC4, 0x0C, 0x9C, 0xD4}};
constexpr CLSID kNetFwAuthorizedApplication = {
    0xEC9846B3, 0x2762, 0x4A6B, {0xA2, 0x14, 0x6A, 0xCB, 0x60, 0x34, 0x62, 0xD2}};
constexpr CLSID kNetFwOpenPort = {0x0CA545C6, 0x37AD, 0x4A6C, {0xBF, 0x92, 0x9F, 0x76, 0x10, 0x06, 0x7E, 0xF5}};
constexpr IID kINetFwMgr = {0xF7898AF5, 0xCAC4, 0x4632, {0xA2, 0xEC, 0xDA, 0x06, 0xE5, 0x11, 0x1A, 0xF2}};
constexpr IID kINetFwAuthorizedApplication = {
    0xB5E64FFA, 0xC2C5, 0x444E, {0xA3, 0x01, 0xFB, 0x5E, 0x00, 0x01, 0x80, 0x50}};
constexpr IID kINetFwOpenPort = {0xE0483BA0, 0x47FF, 0x4D9C, {0xA6, 0xD6, 0x77, 0x41, 0xD0, 0xB1, 0x95, 0xF7}};

// Calls into the firewall service are foreign code: a fault inside one
// counts as a failed call with this result.
constexpr HRESULT kCrashed = static_cast<HRESULT>(0x8000FFFF);  // E_UNEXPECTED

template <typename Interface>
struct ComRef {
    Interface* p = nullptr;
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p) p->Release();
    }
    void** Out() { return reinterpret_cast<void**>(&p); }
};

// A text handed to the firewall objects; freed when the call is done.
struct Bstr {
    BSTR text;
    explicit Bstr(std::u16string_view value) : text(::SysAllocStringLen(ToWide(value).c_str(), UINT(value.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(text); }
};

HRESULT Guarded(const std::function<HRESULT()>& call) {
    HRESULT result = kCrashed;
    if (RunGuarded([&] { result = call(); }).faulted) return kCrashed;
    return result;
}

HRESULT ConnectToProfile(ComRef<INetFwProfile>& profile) {
    return Guarded([&] {
        ComRef<INetFwMgr> manager;
        HRESULT result = ::CoCreateInstance(kNetFwMgr, nullptr, CLSCTX_INPROC_SERVER, kINetFwMgr, manager.Out());
        if (FAILED(result)) return result;
        ComRef<INetFwPolicy> policy;
        if (FAILED(result = manager.p->get_LocalPolicy(&policy.p))) return result;
        return policy.p->get_CurrentProfile(&profile.p);
    });
}

HRESULT AddOpenPort(INetFwProfile* profile, std::uint32_t port, std::int32_t protocol, std::u16string_view name) {
    Bstr wideName(name);
    return Guarded([&] {
        ComRef<INetFwOpenPort> openPort;
        HRESULT result =
            ::CoCreateInstance(kNetFwOpenPort, nullptr, CLSCTX_INPROC_SERVER, kINetFwOpenPort, openPort.Out());
        if (FAILED(result)) return result;
        if (FAILED(result = openPort.p->put_Port(LONG(port)))) return result;
        if (FAILED(result = openPort.p->put_Protocol(NET_FW_IP_PROTOCOL(protocol)))) return result;
        if (FAILED(result = openPort.p->put_Name(wideName.text))) return result;
        ComRef<INetFwOpenPorts> ports;
        if (FAILED(result = profile->get_GloballyOpenPorts(&ports.p))) return result;
        return ports.p->Add(openPort.p);
    });
}

HRESULT AddAuthorizedProgram(INetFwProfile* profile, std::u16string_view path, std::u16string_view name) {
    Bstr widePath(path);
    Bstr wideName(name);
    return Guarded([&] {
        ComRef<INetFwAuthorizedApplication> program;
        HRESULT result = ::CoCreateInstance(kNetFwAuthorizedApplication, nullptr, CLSCTX_INPROC_SERVER,
                                            kINetFwAuthorizedApplication, program.Out());
        if (FAILED(result)) return result;
        if (FAILED(result = program.p->put_ProcessImageFileName(widePath.text))) return result;
        if (FAILED(result = program.p->put_Name(wideName.text))) return result;
        if (FAILED(result = program.p->put_Enabled(VARIANT_TRUE))) return result;
        ComRef<INetFwAuthorizedApplications> programs;
        if (FAILED(result = profile->get_AuthorizedApplications(&programs.p))) return result;
        return programs.p->Add(program.p);
    });
}

// A port line: one exception per protocol bit; it counts as added when at
// least one of them was (the uninstaller removes what is there).
bool AddPortLine(InstallContext& context, INetFwProfile* profile, const FirewallLine& line, std::uint32_t port) {
    std::u16string name = ExceptionName(line, context.settings.displayName);
    std::vector<PortProtocol> protocols = ProtocolsFor(ProtocolBitsOf(line));
    if (protocols.empty() || !IsValidPort(port)) {
        context.log.runLog.AppendWide(PortFailedText(port, std::int32_t(E_INVALIDARG)));
        return false;
    }
    bool added = false;
    for (const PortProtocol& protocol : protocols) {
        HRESULT result = AddOpenPort(profile, port, protocol.ipProtocol, name);
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
bool AddProgramLine(InstallContext& context, INetFwProfile* profile, const FirewallLine& line,
                    std::u16string& resolved) {
    resolved = ResolveProgramPath(context.Expand(line.target), context.state.installFolder);
    if (!FileExists(resolved)) {
        context.log.runLog.AppendWide(ProgramMissingText(resolved));
        return false;
    }
    HRESULT result = AddAuthorizedProgram(profile, resolved, ExceptionName(line, context.settings.displayName));
    if (FAILED(result)) {
        context.log.runLog.AppendWide(ProgramFailedText(resolved, std::int32_t(result)));
        return false;
    }
    context.log.runLog.AppendWide(ProgramAddedText(resolved));
    return true;
}

}  // namespace

void AddFirewallExceptions(InstallContext& context) {
    if (context.settings.firewallRules.empty()) return;
    if (context.state.portable && context.Payload(PayloadBits::kPortableNoFirewall)) return;
    // Every line is checked before anything changes: a damaged list stops the
    // run without leaving half of its exceptions behind.
    FirewallParse parsed = ParseFirewallRules(context.settings.firewallRules);
    if (parsed.malformed) FatalError(90);
    if (parsed.lines.empty()) return;

    ComApartment com;  // outlives every firewall object below
    ComRef<INetFwProfile> profile;
    HRESULT connected = ConnectToProfile(profile);
    if (FAILED(connected) || profile.p == nullptr) {
        context.log.runLog.AppendWide(ConnectFailedText(std::int32_t(FAILED(connected) ? connected : E_POINTER)));
        return;
    }
    for (const FirewallLine& line : parsed.lines) {
        context.progress.PumpMessages();
        std::u16string resolved = line.target;
        std::optional<std::uint32_t> port = PortNumberOf(line);
        bool added =
            port ? AddPortLine(context, profile.p, line, *port) : AddProgramLine(context, profile.p, line, resolved);
        if (added && !StaysAfterUninstall(line)) context.record.firewall += FirewallRecordLine(line, resolved);
    }
}

}  // namespace palisade
