// Process-wide state set at start and read by every later step.
#include "core/win32/process_state.h"

namespace palisade {

InstallerProcess& Process() {
    static InstallerProcess process;
    return process;
}

}  // namespace palisade
