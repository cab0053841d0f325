// The process-wide log of the installation: the run log and the failure list
// that every step appends to, written out as Install.log at the end.
#pragma once

#include "log/failure_list.h"
#include "log/run_log.h"

namespace palisade {

struct InstallLog {
    RunLog runLog;
    FailureList failures;
};

// Created on first use and kept until the process ends. Only the main thread
// appends to it, so it has no lock.
InstallLog& TheInstallLog();

}  // namespace palisade
