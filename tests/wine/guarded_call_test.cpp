// The fault guard survives repeated access violations in guarded code.
#include <gtest/gtest.h>

#include <regex>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

TEST(GuardedCall, SurvivesRepeatedFaultsAndStillRunsCleanCalls) {
    RunResult r = RunProgram(ProbePath(), WithArguments({"fault", "3"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    // Wine reports the write as an access violation; where its 32-bit side
    // runs under qemu-i386 the emulator's signal frame makes it an illegal
    // instruction. Either is a processor fault that the guard must survive.
    std::regex expected("(fault (C0000005|C000001D)\n){3}ok\n");
    EXPECT_TRUE(std::regex_match(r.stdoutText, expected)) << r.stdoutText;
}

}  // namespace
}  // namespace palisade::wine
