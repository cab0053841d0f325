// Batches and Install.log under Wine, through the probe: the values a batch
// sees, what reaches the run log, the working folder, and the log file on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "install_support.h"
#include "wine_harness.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

// A fresh folder in the prefix for one test; returns its Windows path.
std::string FreshFolder(const std::string& windowsPath) {
    fs::remove_all(HostPath(windowsPath));
    fs::create_directories(HostPath(windowsPath));
    return windowsPath;
}

struct BatchOutcome {
    bool ran = false;
    std::string runLog;
    std::string debugOutput;
};

// Runs `run-batch` and splits its answer. Output of an untitled batch that
// echoes goes to the probe's console, before the answer.
BatchOutcome RunBatchProbe(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "run-batch");
    RunResult r = RunProgram(ProbePath(), WithArguments(arguments));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    BatchOutcome outcome;
    std::size_t at = r.stdoutText.find("result=");
    if (at == std::string::npos || at + 9 > r.stdoutText.size()) {
        ADD_FAILURE() << "no result in: " << r.stdoutText;
        return outcome;
    }
    outcome.ran = r.stdoutText[at + 7] == '1';
    outcome.runLog = r.stdoutText.substr(at + 9);
    outcome.debugOutput = r.debugOutput;
    return outcome;
}

TEST(BatchUnderWine, CommandsSeeTheInstallerValues) {
    std::string app = FreshFolder("C:\\batchlog\\values\\My App");
    BatchOutcome outcome = RunBatchProbe(
        {app, "",
         ">\"%InstallDir%\\values.txt\" echo %InstallDir%~~>>\"%InstallDir%\\values.txt\" echo %ProductName%~~"
         ">>\"%InstallDir%\\values.txt\" echo %Version%",
         "ProductName=My App (Test)", "Version=2.5.1", "--automatic"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(ReadHostFile(HostPath(app + "\\values.txt")), app + "\r\nMy App (Test)\r\n2.5.1\r\n");
    EXPECT_EQ(outcome.runLog, "") << "an untitled batch that succeeds leaves no trace";
    EXPECT_FALSE(fs::exists(HostPath(app + "\\SETUPBAT.BAT")));
    EXPECT_FALSE(fs::exists(HostPath(app + "\\cs_batch.log")));
}

TEST(BatchUnderWine, TitledBatchOutputLandsInTheLog) {
    std::string app = FreshFolder("C:\\batchlog\\titled");
    BatchOutcome outcome = RunBatchProbe({app, "Pre-Installation Batch", "echo hello from %ProductName%~~echo second",
                                          "ProductName=Demo", "--hidden"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.runLog, "\r\nRunning Pre-Installation Batch...\r\nhello from Demo\r\nsecond\r\n\r\n");
    EXPECT_NE(outcome.debugOutput.find("Running Pre-Installation Batch..."), std::string::npos)
        << outcome.debugOutput;
    EXPECT_FALSE(fs::exists(HostPath(app + "\\SETUPBAT.BAT")));
    EXPECT_FALSE(fs::exists(HostPath(app + "\\cs_batch.log")));
}

TEST(BatchUnderWine, UntitledBatchThatEchoesStillLeavesNoTrace) {
    std::string app = FreshFolder("C:\\batchlog\\untitled");
    BatchOutcome outcome = RunBatchProbe({app, "", "echo not captured", "--silent"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.runLog, "");
}

TEST(BatchUnderWine, ExitCodeOneStillCountsAsRun) {
    std::string app = FreshFolder("C:\\batchlog\\exit1");
    BatchOutcome outcome = RunBatchProbe({app, "Post-Installation Batch", "exit 1", "--automatic"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.runLog, "\r\nRunning Post-Installation Batch...\r\n");
}

TEST(BatchUnderWine, TheInterpreterComesFromTheSystemFolderWhateverComspecSays) {
    std::string app = FreshFolder("C:\\batchlog\\comspec");
    BatchOutcome outcome = RunBatchProbe(
        {app, "Upgrade Batch", "echo ran> ran.txt", "--automatic", "--comspec=C:\\nowhere\\cmd.exe"});
    EXPECT_TRUE(outcome.ran) << outcome.runLog;
    EXPECT_EQ(ReadHostFile(HostPath(app + "\\ran.txt")), "ran\r\n");
}

TEST(BatchUnderWine, RunsInTheTemporaryFolderUntilTheInstallFolderExists) {
    std::string temp = FreshFolder("C:\\batchlog\\temp");
    fs::remove_all(HostPath("C:\\batchlog\\not-yet"));
    BatchOutcome outcome = RunBatchProbe(
        {"C:\\batchlog\\not-yet", "", "cd > C:\\batchlog\\temp\\cwd.txt", "Temp=" + temp, "--automatic"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(ReadHostFile(HostPath(temp + "\\cwd.txt")), temp + "\r\n");
    EXPECT_FALSE(fs::exists(HostPath(temp + "\\SETUPBAT.BAT")));
}

// Files planted under the batch's names in the folder it runs in are neither
// run, read nor touched: the batch and its output live in a private folder.
TEST(BatchUnderWine, PlantedBatchAndCaptureFilesAreIgnored) {
    std::string app = FreshFolder("C:\\batchlog\\planted");
    WriteHostFile(HostPath(app + "\\SETUPBAT.BAT"), "echo planted> planted.txt\r\n");
    WriteHostFile(HostPath(app + "\\cs_batch.log"), "planted output\r\n");
    BatchOutcome outcome = RunBatchProbe({app, "Post-Installation Batch", "echo ran> ran.txt~~echo logged", "--automatic"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.runLog, "\r\nRunning Post-Installation Batch...\r\nlogged\r\n\r\n");
    EXPECT_EQ(ReadHostFile(HostPath(app + "\\ran.txt")), "ran\r\n");
    EXPECT_FALSE(fs::exists(HostPath(app + "\\planted.txt")));
    EXPECT_EQ(ReadHostFile(HostPath(app + "\\SETUPBAT.BAT")), "echo planted> planted.txt\r\n");
    EXPECT_EQ(ReadHostFile(HostPath(app + "\\cs_batch.log")), "planted output\r\n");
}

TEST(BatchUnderWine, EmptyCommandsCreateNoFile) {
    std::string app = FreshFolder("C:\\batchlog\\empty");
    BatchOutcome outcome = RunBatchProbe({app, "Reinstall Batch", "", "--automatic"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.runLog, "");
    EXPECT_TRUE(fs::is_empty(HostPath(app)));
}

const std::string kBom = "\xEF\xBB\xBF";
const std::string kSeparator = "\r\n\r\n" + std::string(46, '*') + "\r\n";

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

RunResult WriteLog(const std::string& folder, std::vector<std::string> options) {
    options.insert(options.begin(), {"write-log", folder});
    return RunProgram(ProbePath(), WithArguments(options));
}

TEST(InstallLogUnderWine, SecondRunKeepsTheFirstAndAddsTheSeparator) {
    std::string folder = FreshFolder("C:\\batchlog\\log-twice");
    RunResult first = WriteLog(folder, {"--product=Demo", "--runlog=first run line~~", "--success=All done."});
    EXPECT_EQ(first.stdoutText, "written\n") << first.stderrText;
    std::string afterFirst = ReadHostFile(HostPath(folder + "\\Install.log"));
    ASSERT_EQ(afterFirst.substr(0, 3), kBom);
    EXPECT_EQ(afterFirst.find("*"), std::string::npos);
    EXPECT_TRUE(StartsWith(afterFirst, kBom + "Installation log for: Demo\r\n")) << afterFirst;
    EXPECT_NE(afterFirst.find("\r\nInstall location: " + folder + "\r\nInstaller version: 44.0.1\r\n"),
              std::string::npos);
    EXPECT_TRUE(EndsWith(afterFirst, "\r\n\r\nfirst run line\r\n\r\nAll done.\r\n")) << afterFirst;

    WriteLog(folder, {"--product=Demo", "--runlog=second run line~~", "--success=All done.", "--type=1"});
    std::string afterSecond = ReadHostFile(HostPath(folder + "\\Install.log"));
    ASSERT_EQ(afterSecond.substr(0, afterFirst.size()), afterFirst);
    std::string added = afterSecond.substr(afterFirst.size());
    EXPECT_TRUE(StartsWith(added, kSeparator + "Installation log for: Demo\r\n")) << added;
    EXPECT_NE(added.find("Install type: Reinstall\r\n"), std::string::npos);
    EXPECT_EQ(Count(afterSecond, kBom), 1u);
}

TEST(InstallLogUnderWine, InstallDateIsLocalTimeInItsPattern) {
    std::string folder = FreshFolder("C:\\batchlog\\log-date");
    WriteLog(folder, {"--product=Demo"});
    std::string log = ReadHostFile(HostPath(folder + "\\Install.log"));
    std::size_t at = log.find("Install date: ");
    ASSERT_NE(at, std::string::npos);
    std::string date = log.substr(at + 14, log.find("\r\n", at) - at - 14);
    ASSERT_EQ(date.size(), 19u) << date;
    for (std::size_t i = 0; i < date.size(); ++i) {
        char expected = i == 4 || i == 7 ? '/' : i == 10 ? ' ' : i == 13 || i == 16 ? ':' : '9';
        if (expected == '9') {
            EXPECT_TRUE(date[i] >= '0' && date[i] <= '9') << date;
        } else {
            EXPECT_EQ(date[i], expected) << date;
        }
    }
}

TEST(InstallLogUnderWine, OldWindows1252LogIsConvertedFirst) {
    std::string folder = FreshFolder("C:\\batchlog\\log-old");
    WriteHostFile(HostPath(folder + "\\Install.log"), "Old caf\xE9 log\r\n");
    WriteLog(folder, {"--product=Demo", "--success=Done."});
    std::string log = ReadHostFile(HostPath(folder + "\\Install.log"));
    EXPECT_TRUE(StartsWith(log, kBom + "Old caf\xC3\xA9 log\r\n" + kSeparator + "Installation log for: Demo\r\n"))
        << log;
}

TEST(InstallLogUnderWine, FailedRunEndsWithTheSummary) {
    std::string folder = FreshFolder("C:\\batchlog\\log-failed");
    WriteLog(folder, {"--product=Demo", "--runlog=Installing a.dll~~", "--failures=Failed: a.dll~~Code 5: Access denied.~~~~",
                      "--success=Done."});
    std::string log = ReadHostFile(HostPath(folder + "\\Install.log"));
    std::string tail = "Installing a.dll\r\n\r\n*** FAILURE SUMMARY ***\r\nFailed: a.dll\r\nCode 5: Access denied.\r\n\r\n";
    EXPECT_TRUE(EndsWith(log, tail)) << log;
    EXPECT_EQ(log.find("Done."), std::string::npos);
}

TEST(InstallLogUnderWine, FailureEntryCarriesTheSystemText) {
    RunResult denied = RunProgram(ProbePath(), WithArguments({"log-failure", "5", "C:\\App\\a.dll"}));
    EXPECT_TRUE(StartsWith(denied.stdoutText, " C:\\App\\a.dll\r\nCode 5: Access")) << denied.stdoutText;
    EXPECT_TRUE(EndsWith(denied.stdoutText, ".\r\n\r\n")) << denied.stdoutText;
    RunResult hresult = RunProgram(ProbePath(), WithArguments({"log-failure", "0x80070005", "key"}));
    EXPECT_TRUE(StartsWith(hresult.stdoutText, " key\r\nCode 0x80070005: ")) << hresult.stdoutText;
    RunResult password = RunProgram(ProbePath(), WithArguments({"log-failure", "86", "archive"}));
    EXPECT_EQ(password.stdoutText, " archive\r\nCode 86: Incorrect password.\r\n\r\n");
    RunResult none = RunProgram(ProbePath(), WithArguments({"log-failure", "0", "item"}));
    EXPECT_EQ(none.stdoutText, " item\r\n");
}

}  // namespace
}  // namespace palisade::wine
