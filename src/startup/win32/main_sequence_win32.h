// The installer's run once its payload is read: checks, pages, the work and the finish.
#pragma once

#include "payload/win32/payload_loader_win32.h"
#include "startup/section_locator.h"
#include "startup/win32/own_executable.h"

namespace palisade {

[[noreturn]] void RunInstallation(LoadedPayload& payload, const OwnExecutable& executable,
                                  const SetupSection& section);

}  // namespace palisade
