// The texts of the System Restore point: its description and every reason
// why one could not be opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palisade {

// The restore point service's status when it is switched off.
inline constexpr std::uint32_t kRestoreServiceDisabled = 1058;
// Longest description the service takes, without its terminator.
inline constexpr std::size_t kRestoreDescriptionLimit = 255;

inline constexpr char16_t kRestoreNotPresent[] = u"System Restore is not present.";
inline constexpr char16_t kRestoreEntryMissing[] = u"SRSetRestorePointW is not present.";
inline constexpr char16_t kRestoreTurnedOff[] = u"System Restore is turned off.";
inline constexpr char16_t kRestoreCrashed[] = u"Crashed";

inline constexpr char16_t kAdminSidFailure[] = u"Unable to create admin SID.";
inline constexpr char16_t kLocalServiceSidFailure[] = u"Unable to create local service SID.";
inline constexpr char16_t kNetworkServiceSidFailure[] = u"Unable to create network service SID.";
inline constexpr char16_t kSelfSidFailure[] = u"Unable to create self SID.";
inline constexpr char16_t kLocalSystemSidFailure[] = u"Unable to create local system SID.";
inline constexpr char16_t kAclFailure[] = u"Unable to create ACL.";
inline constexpr char16_t kDescriptorFailure[] = u"Unable to create security descriptor.";
inline constexpr char16_t kOwnerFailure[] = u"Unable to set owner.";
inline constexpr char16_t kGroupFailure[] = u"Unable to set group.";
inline constexpr char16_t kDaclFailure[] = u"Unable to set ACL.";

// The product name, then a blank and the version when there is one.
std::u16string RestorePointDescription(std::u16string_view productName, std::u16string_view version);

// At most `kRestoreDescriptionLimit` units, never ending in half a surrogate pair.
std::u16string LimitedDescription(std::u16string_view description);

// "System Restore is turned off." for status 1058, else "Failed, code %u: %s".
std::u16string RestoreFailureText(std::uint32_t status, std::u16string_view systemText);

// "Error 0x%08X: %s" for a failing HRESULT of the COM security call.
std::u16string ComSecurityCallFailureText(std::uint32_t hresult, std::u16string_view systemText);

// "Failed to initialize COM security: " + reason.
std::u16string ComSecurityFailureText(std::u16string_view reason);

}  // namespace palisade
