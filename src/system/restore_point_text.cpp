// Restore point description and failure texts.
#include "system/restore_point_text.h"

#include "core/format.h"

namespace palisade {

std::u16string RestorePointDescription(std::u16string_view productName, std::u16string_view version) {
    std::u16string description(productName);
    if (!version.empty()) {
        description += u' ';
        description.append(version);
    }
    return description;
}

std::u16string LimitedDescription(std::u16string_view description) {
    if (description.size() <= kRestoreDescriptionLimit) return std::u16string(description);
    std::size_t length = kRestoreDescriptionLimit;
    char16_t last = description[length - 1];
    if (last >= 0xD800 && last <= 0xDBFF) --length;  // a high surrogate without its partner
    return std::u16string(description.substr(0, length));
}

std::u16string RestoreFailureText(std::uint32_t status, std::u16string_view systemText) {
    if (status == kRestoreServiceDisabled) return kRestoreTurnedOff;
    return Format(u"Failed, code %u: %s", {status, systemText});
}

std::u16string ComSecurityCallFailureText(std::uint32_t hresult, std::u16string_view systemText) {
    return Format(u"Error 0x%08X: %s", {hresult, systemText});
}

std::u16string ComSecurityFailureText(std::u16string_view reason) {
    return u"Failed to initialize COM security: " + std::u16string(reason);
}

}  // namespace palisade
