// The Windows Firewall's current profile through its COM objects.
#include "actions/win32/firewall_profile_win32.h"

#include <oleauto.h>

#include <functional>

#include "core/win32/guarded_call.h"
#include "core/win32/wide.h"

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

// A text handed to the firewall objects; freed when the call is done.
class Bstr {
public:
    explicit Bstr(std::u16string_view value)
        : m_text(::SysAllocStringLen(ToWide(value).c_str(), UINT(value.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(m_text); }
    BSTR Get() const { return m_text; }

private:
    BSTR m_text;
};

HRESULT Guarded(const std::function<HRESULT()>& call) {
    HRESULT result = kFirewallCallCrashed;
    if (RunGuarded([&] { result = call(); }).faulted) return kFirewallCallCrashed;
    return result;
}

}  // namespace

HRESULT FirewallProfile::Connect() {
    ComPtr<INetFwMgr> manager;
    ComPtr<INetFwPolicy> policy;
    HRESULT result = Guarded([&] {
        HRESULT hr = ::CoCreateInstance(kNetFwMgr, nullptr, CLSCTX_INPROC_SERVER, kINetFwMgr, manager.PutVoid());
        if (FAILED(hr)) return hr;
        if (FAILED(hr = manager->get_LocalPolicy(policy.Put()))) return hr;
        return policy->get_CurrentProfile(m_profile.Put());
    });
    if (SUCCEEDED(result) && !m_profile) result = E_POINTER;
    return result;
}

HRESULT FirewallProfile::AddOpenPort(std::uint32_t port, std::int32_t protocol, std::u16string_view name) {
    Bstr wideName(name);
    ComPtr<INetFwOpenPort> openPort;
    ComPtr<INetFwOpenPorts> ports;
    return Guarded([&] {
        HRESULT hr = ::CoCreateInstance(kNetFwOpenPort, nullptr, CLSCTX_INPROC_SERVER, kINetFwOpenPort,
                                        openPort.PutVoid());
        if (FAILED(hr)) return hr;
        if (FAILED(hr = openPort->put_Port(LONG(port)))) return hr;
        if (FAILED(hr = openPort->put_Protocol(NET_FW_IP_PROTOCOL(protocol)))) return hr;
        if (FAILED(hr = openPort->put_Name(wideName.Get()))) return hr;
        if (FAILED(hr = m_profile->get_GloballyOpenPorts(ports.Put()))) return hr;
        return ports->Add(openPort.Get());
    });
}

HRESULT FirewallProfile::AddAuthorizedProgram(std::u16string_view path, std::u16string_view name) {
    Bstr widePath(path);
    Bstr wideName(name);
    ComPtr<INetFwAuthorizedApplication> program;
    ComPtr<INetFwAuthorizedApplications> programs;
    return Guarded([&] {
        HRESULT hr = ::CoCreateInstance(kNetFwAuthorizedApplication, nullptr, CLSCTX_INPROC_SERVER,
                                        kINetFwAuthorizedApplication, program.PutVoid());
        if (FAILED(hr)) return hr;
        if (FAILED(hr = program->put_ProcessImageFileName(widePath.Get()))) return hr;
        if (FAILED(hr = program->put_Name(wideName.Get()))) return hr;
        if (FAILED(hr = program->put_Enabled(VARIANT_TRUE))) return hr;
        if (FAILED(hr = m_profile->get_AuthorizedApplications(programs.Put()))) return hr;
        return programs->Add(program.Get());
    });
}

HRESULT FirewallProfile::RemoveOpenPort(std::uint32_t port, std::int32_t protocol) {
    ComPtr<INetFwOpenPorts> ports;
    return Guarded([&] {
        HRESULT hr = m_profile->get_GloballyOpenPorts(ports.Put());
        if (FAILED(hr)) return hr;
        return ports->Remove(LONG(port), NET_FW_IP_PROTOCOL(protocol));
    });
}

HRESULT FirewallProfile::RemoveAuthorizedProgram(std::u16string_view path) {
    Bstr widePath(path);
    ComPtr<INetFwAuthorizedApplications> programs;
    return Guarded([&] {
        HRESULT hr = m_profile->get_AuthorizedApplications(programs.Put());
        if (FAILED(hr)) return hr;
        return programs->Remove(widePath.Get());
    });
}

}  // namespace palisade
