// The uninstaller's texts: the messages the installation stored in
// Uninstall.DAT (in the installation's language), English defaults for those
// missing, and the fixed texts of the uninstaller's own stops and log lines.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "core/message_numbers.h"

namespace palisade {

inline constexpr char16_t kNotAdministratorText[] =
    u"Permission denied.  Please run the uninstaller with administrator rights.";
inline constexpr char16_t kNoSuchProductText[] = u"No product named '%s' is installed.";
inline constexpr char16_t kUnreadableProductText[] =
    u"Unable to access the uninstall information for:\r\n%s\r\n\r\nThe uninstallation cannot be performed.";
inline constexpr char16_t kCorruptProductText[] =
    u"The uninstall information for %s is corrupt.\r\n\r\nThe uninstallation cannot be performed.";
inline constexpr char16_t kDataNotLoadedText[] =
    u"The uninstall information for %s could not be loaded.\r\n\r\nFilepath: %s\r\nCode %d: %s";
inline constexpr char16_t kSharedKeyFailedText[] = u"REGISTRY ERROR:  Unable to adjust shared file reference counts.\r\n\r\n";
inline constexpr char16_t kMsiRemovalFailedText[] = u"Failed to uninstall %s, code %d: %s\r\n";
inline constexpr char16_t kPendingMoveRemovedText[] = u"File \"%s\" was removed from the list of pending moves.\r\n";
inline constexpr char16_t kPendingDeletionRemovedText[] =
    u"File \"%s\" was removed from the list of pending deletions.\r\n";

class UninstallerTexts {
public:
    // `stored` is the "[Strings]" section; `product` replaces "<product>" and
    // "<description>", `os` replaces "<os>".
    UninstallerTexts(std::map<int, std::u16string> stored, std::u16string product, std::u16string os);

    // The stored message, or the English default when the installation
    // stored none (or an empty one), placeholders replaced.
    std::u16string Message(int number) const;

private:
    std::map<int, std::u16string> m_stored;
    std::u16string m_product;
    std::u16string m_os;
};

// The built-in English text of a message the uninstaller uses; empty for others.
std::u16string_view DefaultUninstallerMessage(int number);

}  // namespace palisade
