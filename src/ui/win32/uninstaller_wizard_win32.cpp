// Starting the uninstaller's wizard from what its installation left.
#include "ui/win32/uninstaller_wizard_win32.h"

#include <windows.h>

#include "core/win32/file_system.h"
#include "core/win32/process_state.h"
#include "core/win32/registry.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

// Far larger than any background picture a screen could show.
constexpr std::uint64_t kLargestPicture = 64u << 20;

void UseWindowIcon(const std::u16string& path) {
    if (!FileExists(path)) return;
    InstallerProcess& process = Process();
    for (auto [icon, size] : {std::pair{&process.largeIcon, SM_CXICON}, std::pair{&process.smallIcon, SM_CXSMICON}}) {
        int side = ::GetSystemMetrics(size);
        HANDLE loaded = ::LoadImageW(nullptr, ToWide(path).c_str(), IMAGE_ICON, side, side, LR_LOADFROMFILE);
        if (loaded) *icon = HICON(loaded);
    }
}

}  // namespace

void StartUninstallerWizard(const UninstallerWizardInputs& inputs) {
    WizardSetup setup;
    Win32Result<UniqueHkey> key = TryOpenKey(HKEY_LOCAL_MACHINE, inputs.productKeyPath, KEY_READ | KEY_WOW64_32KEY);
    HKEY opened = key.ok() ? key->get() : nullptr;
    StoredBackgroundValues values;
    values.text = [opened](std::u16string_view name) -> std::optional<std::u16string> {
        if (opened == nullptr) return std::nullopt;
        return ReadRegistryText(opened, name).ToOptional();
    };
    values.number = [opened](std::u16string_view name) -> std::optional<std::uint32_t> {
        if (opened == nullptr) return std::nullopt;
        return ReadRegistryDword(opened, name).ToOptional();
    };
    setup.background = BackgroundSettingsFromStored(values);
    if (inputs.settingsFlags1 & Flags1::kKeepBackgroundPicture) {
        Win32Result<std::string> picture = ReadWholeFile(inputs.uninstallDataFolder + u"\\Installer Background.bmp",
                                                         kLargestPicture);
        if (picture.ok()) setup.background.picture.assign(picture->begin(), picture->end());
        setup.background.bitmapTpi = std::int32_t(values.number(u"BitmapTPI").value_or(0xFFFFFFFF));
        setup.background.stretchMode = std::int32_t(values.number(u"StretchMode").value_or(2));
        setup.background.bitmapSize = std::int32_t(values.number(u"BitmapSize").value_or(0));
    }
    UseWindowIcon(inputs.uninstallDataFolder + u"\\uninstall.ico");
    setup.settingsFlags1 = inputs.settingsFlags1;
    setup.settingsFlags2 = inputs.settingsFlags2;
    setup.product = inputs.product;
    setup.description = inputs.product;
    setup.os = inputs.os;
    setup.uninstalling = true;
    setup.silent = inputs.silent;
    setup.automatic = inputs.automatic;
    setup.messages = inputs.messages;
    StartWizard(std::move(setup));
}

}  // namespace palisade
