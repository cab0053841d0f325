// The installer's run once its payload is read: checks, pages, the work and the finish.
#pragma once

#include "core/win32/own_executable.h"
#include "payload/section_locator.h"
#include "payload/win32/payload_loader_win32.h"

namespace palisade {

[[noreturn]] void RunInstallation(LoadedPayload& payload, const OwnExecutable& executable,
                                  const SetupSection& section);

}  // namespace palisade
