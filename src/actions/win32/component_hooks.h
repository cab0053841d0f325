// What follows the writing of a component file: fonts, driver INF files, MSI
// packages and control panel applets.
#pragma once

#include <string>

#include "actions/install_context.h"
#include "payload/file_entry.h"

namespace palisade {

// Called for every entry whose file was written, and for a control panel
// applet whose file was deferred to the next restart (`deferred`).
void AfterComponentFileWritten(const FileEntry& entry, const std::u16string& destination, bool deferred,
                               InstallContext& context);

}  // namespace palisade
