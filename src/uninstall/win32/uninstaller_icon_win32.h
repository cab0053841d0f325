// Puts the settings' uninstaller icon into the written uninstaller file.
#pragma once

#include <string>

#include "core/byte_view.h"
#include "log/run_log.h"

namespace palisade {

// Replaces every icon of the program file at `path` with the pictures of
// `iconFile` under the file's first icon group (so the shell and the
// uninstaller's windows show the new icon). Nothing changes on failure,
// which is logged.
void ReplaceProgramIcon(const std::u16string& path, ByteView iconFile, RunLog& log);

}  // namespace palisade
