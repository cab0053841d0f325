// What follows the writing of a component file.
#include "actions/win32/component_hooks.h"

namespace palisade {

void AfterComponentFileWritten(const FileEntry& entry, const std::u16string& destination, bool deferred,
                               InstallContext& context) {
    switch (entry.kind) {
        case EntryKind::Font:
            // Registering the font with the system belongs to the component
            // registration; the walk only needs to know that one arrived.
            if (!deferred) context.record.fontInstalled = true;
            break;
        case EntryKind::DriverInf:
            if (!deferred) context.record.driverInfList.push_back(destination);
            break;
        case EntryKind::MsiPackage:          // run by the component registration (not yet here)
        case EntryKind::ControlPanelApplet:  // registered by the component registration (not yet here)
        default: break;
    }
}

}  // namespace palisade
