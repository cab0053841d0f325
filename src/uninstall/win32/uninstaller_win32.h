// The uninstaller (`/u:"name"`): reads the product's entry and Uninstall.DAT,
// asks for confirmation, removes what the installation recorded and reports.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// What the hand-over needs after a completed uninstallation.
struct UninstalledProduct {
    std::u16string notifyUrl;        // the uninstall notification address
    std::u16string installFolder;
    std::u16string uninstallSubdir;
    std::u16string recordedUninstaller;  // the uninstaller the installation registered
    std::vector<std::u16string> parentFolders;  // made above the installation folder, deepest first
};

// Runs the whole uninstallation of the product whose entry is `productName`.
// A missing, unreadable or corrupt entry, missing uninstall data, missing
// rights or a No to the confirmation end the run (exit code 1). Returns the
// product when an uninstallation took place.
std::optional<UninstalledProduct> RunUninstaller(std::u16string_view productName);

// The uninstall notification: the call point of the notification service.
void SendUninstallNotification(std::u16string_view address);

}  // namespace palisade
