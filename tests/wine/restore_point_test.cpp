// The System Restore point under Wine: the service is there but refuses, or
// is missing altogether; COM security is set up either way.
#include <gtest/gtest.h>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

TEST(WineRestorePoint, ComSecuritySetUpSucceeds) {
    RunResult r = RunProgram(ProbePath(), WithArguments({"com-security"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.stdoutText, "ok\n") << r.stderrText;
}

TEST(WineRestorePoint, RefusedBeginReportsTheStatusAndNothingIsCommitted) {
    RunResult r = RunProgram(ProbePath(), WithArguments({"restore-point", "Probe App 1.0"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    // Wine's service answers FALSE with status 0; the text after the code is the system's.
    EXPECT_EQ(r.stdoutText.rfind("begin: failed: Failed, code 0: ", 0), 0u) << r.stdoutText;
    EXPECT_NE(r.stdoutText.find("\ncommit: false\n"), std::string::npos) << r.stdoutText;
}

TEST(WineRestorePoint, MissingServiceLibrary) {
    RunOptions options = WithArguments({"restore-point", "Probe App"});
    options.environment.push_back({"WINEDLLOVERRIDES", "srclient=d"});
    RunResult r = RunProgram(ProbePath(), options);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.stdoutText, "begin: failed: System Restore is not present.\ncommit: false\n") << r.stderrText;
}

TEST(WineRestorePoint, InstallerLogsTheFailureAndDropsTheCommit) {
    RunOptions options = WithArguments({"restore-point-logged", "Probe App", "2.0"});
    options.environment.push_back({"WINEDLLOVERRIDES", "srclient=d"});
    RunResult r = RunProgram(ProbePath(), options);
    ASSERT_FALSE(r.timedOut);
    // The restore-point bit (2) is cleared, the other payload bit (0x20) stays.
    EXPECT_EQ(r.stdoutText,
              "Creating restore point...FAILED\r\nSystem Restore is not present.\r\nflags: 32\nafter commit: []\n")
        << r.stderrText;
}

}  // namespace
}  // namespace palisade::wine
