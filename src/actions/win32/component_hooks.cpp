// What follows the writing of a component file: fonts, driver INF files, MSI
// packages and control panel applets.
#include "actions/win32/component_hooks.h"

#include "actions/win32/applet_registration_win32.h"
#include "actions/win32/font_registration_win32.h"
#include "actions/win32/msi_package_win32.h"

namespace palisade {

StepResult AfterComponentFileWritten(const FileEntry& entry, const std::u16string& destination, bool deferred,
                               InstallContext& context) {
    switch (entry.kind) {
        case EntryKind::Font:
            if (!deferred) RegisterFont(entry, destination, context);
            break;
        case EntryKind::DriverInf:
            // Installed with the other components after the walk.
            if (!deferred) context.record.driverInfList.push_back(destination);
            break;
        case EntryKind::MsiPackage:
            if (!deferred) InstallMsiPackage(entry, destination, context);
            break;
        case EntryKind::ControlPanelApplet:
            // The applet's keys name the file's final path, so a file that
            // arrives at the restart is registered now all the same.
            return RegisterControlPanelApplet(entry, destination, context);
        default: break;
    }
    return StepResult::Continue();
}

}  // namespace palisade
