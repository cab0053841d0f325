// Process start: the steps run before the payload is read.
#pragma once

#include "core/win32/own_executable.h"
#include "payload/section_locator.h"

namespace palisade {

// Runs the start sequence up to a located `.setup` section. Never returns on
// the uninstall hand-over or on a fatal condition.
SetupSection StartProcess(HINSTANCE instance, const OwnExecutable*& executable);

}  // namespace palisade
