// Shared-file counts in the registry under Wine: raised once per product,
// in the 32-bit view, with the record of what was counted.
#include <gtest/gtest.h>

#include <unistd.h>

#include "wine_harness.h"

namespace palisade::wine {
namespace {

const char kSharedDlls[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

TEST(WineSharedCounts, RaisedOncePerProductInThe32BitView) {
    std::string tag = std::to_string(::getpid());
    std::string plain = "C:\\probe" + tag + "\\shared\\plain.dll";
    std::string com = "C:\\probe" + tag + "\\shared\\server.ocx";
    RunResult first = RunProgram(ProbePath(), WithArguments({"shared-counts", "", plain, "^" + com, plain}));
    ASSERT_FALSE(first.timedOut);
    std::string record = "\"" + plain + "\";\"^" + com + "\"";
    EXPECT_EQ(first.stdoutText, "record: " + record + "\nlog: []\nfailures: []\n") << first.stderrText;
    EXPECT_EQ(RegQueryValue(kSharedDlls, plain, "32"), "0x1");
    EXPECT_EQ(RegQueryValue(kSharedDlls, com, "32"), "0x1");  // the mark is not part of the name

    // A second installation of the same product loads the record: nothing more is counted.
    RunResult again = RunProgram(ProbePath(), WithArguments({"shared-counts", record, plain, "^" + com}));
    EXPECT_EQ(again.stdoutText, "record: " + record + "\nlog: []\nfailures: []\n") << again.stderrText;
    EXPECT_EQ(RegQueryValue(kSharedDlls, plain, "32"), "0x1");

    // Another product (empty record) adds its own count.
    RunProgram(ProbePath(), WithArguments({"shared-counts", "", plain}));
    EXPECT_EQ(RegQueryValue(kSharedDlls, plain, "32"), "0x2");
}

}  // namespace
}  // namespace palisade::wine
