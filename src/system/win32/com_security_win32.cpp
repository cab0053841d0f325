// The process-wide COM security set-up that must precede the first restore
// point call: five well-known SIDs allowed to call in, nobody else.
#include <windows.h>

#include <aclapi.h>
#include <objbase.h>

#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "system/restore_point_text.h"
#include "system/win32/restore_point_win32.h"

namespace palisade {
namespace {

constexpr int kSidCount = 5;
constexpr DWORD kComRightsExecuteAndLocal = 3;  // COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL
constexpr DWORD kNoActivateAsActivatorNoCustomMarshal = 0x3000;

struct SidBuffer {
    BYTE bytes[SECURITY_MAX_SID_SIZE];
    PSID Get() { return bytes; }
};

bool CreateSids(SidBuffer (&sids)[kSidCount], std::u16string& error) {
    static const WELL_KNOWN_SID_TYPE kTypes[kSidCount] = {WinBuiltinAdministratorsSid, WinLocalServiceSid,
                                                          WinNetworkServiceSid, WinSelfSid, WinLocalSystemSid};
    static const char16_t* const kFailures[kSidCount] = {kAdminSidFailure, kLocalServiceSidFailure,
                                                         kNetworkServiceSidFailure, kSelfSidFailure,
                                                         kLocalSystemSidFailure};
    for (int i = 0; i < kSidCount; ++i) {
        DWORD size = sizeof sids[i].bytes;
        if (!::CreateWellKnownSid(kTypes[i], nullptr, sids[i].Get(), &size)) {
            error = kFailures[i];
            return false;
        }
    }
    return true;
}

PACL CreateAcl(SidBuffer (&sids)[kSidCount]) {
    EXPLICIT_ACCESSW entries[kSidCount] = {};
    for (int i = 0; i < kSidCount; ++i) {
        entries[i].grfAccessPermissions = kComRightsExecuteAndLocal;
        entries[i].grfAccessMode = SET_ACCESS;
        entries[i].grfInheritance = NO_INHERITANCE;
        entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[i].Trustee.TrusteeType = TRUSTEE_IS_GROUP;
        entries[i].Trustee.ptstrName = static_cast<LPWSTR>(sids[i].Get());
    }
    PACL acl = nullptr;
    if (::SetEntriesInAclW(kSidCount, entries, nullptr, &acl) != ERROR_SUCCESS) return nullptr;
    return acl;
}

bool BuildDescriptor(SECURITY_DESCRIPTOR& descriptor, PSID admins, PACL acl, std::u16string& error) {
    if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) {
        error = kDescriptorFailure;
        return false;
    }
    if (!::SetSecurityDescriptorOwner(&descriptor, admins, FALSE)) {
        error = kOwnerFailure;
        return false;
    }
    if (!::SetSecurityDescriptorGroup(&descriptor, admins, FALSE)) {
        error = kGroupFailure;
        return false;
    }
    if (!::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) {
        error = kDaclFailure;
        return false;
    }
    return true;
}

// Kept plain: a fault inside is caught by the guard, which unwinds nothing.
HRESULT CallCoInitializeSecurity(SECURITY_DESCRIPTOR* descriptor, bool& crashed) {
    HRESULT result = E_FAIL;
    GuardedResult guard = RunGuarded([&] {
        result = ::CoInitializeSecurity(descriptor, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                        RPC_C_IMP_LEVEL_IDENTIFY, nullptr, kNoActivateAsActivatorNoCustomMarshal,
                                        nullptr);
    });
    crashed = guard.faulted;
    return result;
}

}  // namespace

bool InitialiseComSecurity(std::u16string& error) {
    // COM must be running on this thread; an earlier start in another mode is fine.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SidBuffer sids[kSidCount];
    if (!CreateSids(sids, error)) return false;
    PACL acl = CreateAcl(sids);
    if (!acl) {
        error = kAclFailure;
        return false;
    }
    SECURITY_DESCRIPTOR descriptor;
    bool ok = BuildDescriptor(descriptor, sids[0].Get(), acl, error);
    if (ok) {
        bool crashed = false;
        HRESULT result = CallCoInitializeSecurity(&descriptor, crashed);
        if (crashed) {
            error = kRestoreCrashed;
            ok = false;
        } else if (FAILED(result)) {
            error = ComSecurityCallFailureText(std::uint32_t(result), SystemErrorText(std::uint32_t(result)));
            ok = false;
        }
    }
    ::LocalFree(acl);
    return ok;
}

}  // namespace palisade
