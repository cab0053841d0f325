// Registers a control panel applet: its CLSID key and its place in the
// control panel's name space, both recorded for removal.
#pragma once

#include "core/step_result.h"

#include <string>

#include "payload/file_entry.h"
#include "variables/install_context.h"

namespace palisade {

// Ends the run with fatal error 78 when the applet has no display name and 79
// when it has no CLSID (a malformed installer).
StepResult RegisterControlPanelApplet(const FileEntry& entry, const std::u16string& destination, InstallContext& context);

}  // namespace palisade
