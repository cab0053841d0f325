// The progress reporter's message handling under Wine: between the pieces of
// a large file the windows repaint, but input (a click on Cancel) waits for
// the next full pump, where the run can still be ended cleanly.
#include <gtest/gtest.h>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

TEST(ProgressGui, KeepPaintedRepaintsButLeavesOtherMessagesWaiting) {
    RunResult r = RunProgram(ProbePath(), WithArguments({"keep-painted"}));
    ASSERT_FALSE(r.timedOut);
    ASSERT_EQ(r.exitCode, 0) << r.stderrText;
    EXPECT_EQ(r.stdoutText, "painted=1 posted=0\npainted=1 posted=1\n");
}

}  // namespace
}  // namespace palisade::wine
