// What follows the writing of a component file: fonts, driver INF files, MSI
// packages and control panel applets.
#pragma once

#include "core/step_result.h"

#include <string>

#include "payload/file_entry.h"
#include "variables/install_context.h"

namespace palisade {

// Called for every entry whose file was written, and for a control panel
// applet whose file was deferred to the next restart (`deferred`).
StepResult AfterComponentFileWritten(const FileEntry& entry, const std::u16string& destination, bool deferred,
                               InstallContext& context);

}  // namespace palisade
