// The conditional deletions of the settings (at
// installation) or of the "[ConditionalDelete]" section (at uninstallation).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/step_result.h"
#include "log/install_log.h"
#include "payload/settings.h"

namespace palisade {

struct FileDeletionRun {
    bool atInstall = false;  // at installation results are logged
    std::u16string installFolder;
    std::function<std::u16string(std::u16string_view)> expand;
    InstallLog* log = nullptr;
    bool restartNeeded = false;  // set when a file was registered for deletion at restart
    // The folder of every file deleted now: at uninstallation they become
    // candidates for the empty-folder removal, like the installed files' folders.
    std::vector<std::u16string> deletedFileFolders;
};

// Runs the deletions that apply at this point (flag 0x4 at installation,
// 0x8 at uninstallation) on the files their patterns match in the
// installation folder. An unreadable reference date ends the run with fatal
// error 65.
StepResult ProcessFileDeletions(const std::vector<FileDeletion>& deletions, FileDeletionRun& run);

}  // namespace palisade
