// Registers a control panel applet: its CLSID key and its place in the
// control panel's name space, both recorded for removal.
#pragma once

#include <string>

#include "actions/install_context.h"
#include "payload/file_entry.h"

namespace palisade {

// Ends the run with fatal error 78 when the applet has no display name and 79
// when it has no CLSID (a malformed installer).
void RegisterControlPanelApplet(const FileEntry& entry, const std::u16string& destination, InstallContext& context);

}  // namespace palisade
