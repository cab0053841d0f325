// `editSystemPath`: adds a folder of the installation to the system PATH, or
// takes it out again (the uninstaller).
#pragma once

#include <string_view>

#include "actions/system_path_edit.h"
#include "log/run_log.h"
#include "variables/install_context.h"

namespace palisade {

// The folder is `PathFolderFor(subfolder, installFolder)`. Nothing happens
// when the machine's "Path" value cannot be read or is empty; adding a folder
// that does not exist only logs "Couldn't add ...". A change is written back
// as REG_EXPAND_SZ and announced to running programs.
void EditSystemPath(PathEdit edit, std::u16string_view subfolder, std::u16string_view installFolder, RunLog& log);

// The same for the running installation (the installation folder of its state).
void EditSystemPath(InstallContext& context, PathEdit edit, std::u16string_view subfolder);

}  // namespace palisade
