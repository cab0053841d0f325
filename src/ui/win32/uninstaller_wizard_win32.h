// The uninstaller's wizard: the same background window and pages as the
// installer's, with the appearance its installation left in the product key
// and the uninstall data folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace palisade {

struct UninstallerWizardInputs {
    std::u16string productKeyPath;  // below HKEY_LOCAL_MACHINE, in the 32-bit view
    std::uint32_t settingsFlags1 = 0;
    std::uint32_t settingsFlags2 = 0;
    std::u16string uninstallDataFolder;
    std::u16string product;
    std::u16string os;
    std::function<std::u16string(int)> messages;
    bool silent = false;
    bool automatic = false;
};

// Reads the background values, the window icon ("uninstall.ico") and, when
// the installation kept it, the picture ("Installer Background.bmp" with
// "BitmapTPI", "StretchMode" and "BitmapSize"), then starts the wizard.
void StartUninstallerWizard(const UninstallerWizardInputs& inputs);

}  // namespace palisade
