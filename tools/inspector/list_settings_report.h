// The list settings of an installer (deletions, associations, author
// shortcuts, uninstall values, applications to close) as report arrays, one
// object per entry under the project file's key names, so that an author or
// a CI job can audit what an installer will register and remove.
#pragma once

#include "common/report_tree.h"
#include "payload/settings.h"

namespace palisade::tools {

// Sets "FileDeletions", "FileAssociations", "AuthorShortcuts",
// "UninstallValues" and "AutoCloseEntries" of `out`.
void SetListSettings(ReportValue& out, const InstallerSettings& settings);

}  // namespace palisade::tools
