// The deployment exit codes of a run's outcome.
#include "core/run_outcome.h"

namespace palisade {

int DeploymentExitCode(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Succeeded: return kExitSucceeded;
        case RunOutcome::RestartNeeded: return kExitRestartNeeded;
        case RunOutcome::Cancelled: return kExitCancelled;
        case RunOutcome::Undecided:
        case RunOutcome::Failed: break;
    }
    return kExitFailed;
}

RunOutcome FinishedOutcome(bool failuresListed, bool restartNeeded) {
    if (failuresListed) return RunOutcome::Failed;
    return restartNeeded ? RunOutcome::RestartNeeded : RunOutcome::Succeeded;
}

}  // namespace palisade
