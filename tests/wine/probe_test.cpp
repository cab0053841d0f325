// The probe itself runs under Wine and passes text both ways unchanged.
#include <gtest/gtest.h>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

TEST(Probe, PassesArgumentsAndEnvironmentThrough) {
    RunResult echo = RunProgram(ProbePath(), WithArguments({"echo", "plain", "with space", "\xc3\xa9t\xc3\xa9"}));
    ASSERT_FALSE(echo.timedOut);
    EXPECT_EQ(echo.exitCode, 0);
    EXPECT_EQ(echo.stdoutText, "plain\nwith space\n\xc3\xa9t\xc3\xa9\n");

    RunOptions options = WithArguments({"env", "PALISADE_PROBE_VALUE"});
    options.environment.push_back({"PALISADE_PROBE_VALUE", "42"});
    RunResult env = RunProgram(ProbePath(), options);
    EXPECT_EQ(env.exitCode, 0);
    EXPECT_EQ(env.stdoutText, "42");
}

}  // namespace
}  // namespace palisade::wine
