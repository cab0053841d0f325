// The process-wide log of the installation.
#include "log/install_log.h"

namespace palisade {

InstallLog& TheInstallLog() {
    static InstallLog log;
    return log;
}

}  // namespace palisade
