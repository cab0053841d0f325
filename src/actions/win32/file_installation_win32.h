// The file walk of an installation: every archive item placed, decided,
// written (or deferred to the next restart) and recorded.
#pragma once

#include "core/step_result.h"

#include <cstddef>

#include "payload/item_walker.h"
#include "variables/install_context.h"

namespace palisade {

// Installs every item of `walker` (`itemCount` items) while the progress bar
// moves from 28 towards 90. Malformed items end the run through FatalError.
StepResult InstallFiles(ItemWalker& walker, std::size_t itemCount, InstallContext& context);

// The close of the walk: progress 91, the font-change broadcast, the clean-up
// of pending restart operations, progress 92.
void FinishFileWalk(InstallContext& context);

}  // namespace palisade
