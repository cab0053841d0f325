// How a run ended, and the exit code deployment tools read for it when the
// author asked for those codes (the format's own code is 1 for every
// installation, 0 for every uninstallation).
#pragma once

namespace palisade {

enum class RunOutcome {
    Undecided,      // ended before it came to a result: a refusal, a hand-over
    Succeeded,
    RestartNeeded,  // succeeded, and a restart finishes the job
    Cancelled,      // by the user, or by a question answered No
    Failed,         // a fatal error, or failures listed at the end
};

inline constexpr int kExitSucceeded = 0;
inline constexpr int kExitRestartNeeded = 3010;
inline constexpr int kExitCancelled = 1602;
inline constexpr int kExitFailed = 1603;

// 0, 3010, 1602 or 1603; a run that came to no result did not do what it
// was started for, so it counts as failed.
int DeploymentExitCode(RunOutcome outcome);

// The outcome of a run that went to its end.
RunOutcome FinishedOutcome(bool failuresListed, bool restartNeeded);

}  // namespace palisade
