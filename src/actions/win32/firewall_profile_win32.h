// The Windows Firewall's current profile through its COM objects: adding and
// removing port and program exceptions. Every call into the firewall service
// runs under the fault guard; the COM objects are owned outside it, so they
// are released even after a fault.
#pragma once

#include <windows.h>
#include <netfw.h>

#include <cstdint>
#include <string_view>

#include "core/win32/com_ptr.h"

namespace palisade {

// What a fault inside the firewall service counts as (E_UNEXPECTED).
inline constexpr HRESULT kFirewallCallCrashed = static_cast<HRESULT>(0x8000FFFF);

class FirewallProfile {
public:
    // Connects to the current profile; COM must be initialised on the thread.
    HRESULT Connect();

    HRESULT AddOpenPort(std::uint32_t port, std::int32_t protocol, std::u16string_view name);
    HRESULT AddAuthorizedProgram(std::u16string_view path, std::u16string_view name);
    HRESULT RemoveOpenPort(std::uint32_t port, std::int32_t protocol);
    HRESULT RemoveAuthorizedProgram(std::u16string_view path);

private:
    ComPtr<INetFwProfile> m_profile;
};

}  // namespace palisade
