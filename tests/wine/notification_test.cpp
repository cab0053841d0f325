// The HTTP notifications of a real installer and uninstaller under Wine,
// received by a local server: the events of a run with their placeholders
// replaced, the "problems" form of a failed installation, and a server that
// never answers, which must not keep the finished installer open.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "core/text.h"
#include "http_recorder.h"
#include "install_support.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::EndsWith;

// Under qemu-i386 (docs/testing.md) Wine does not survive a second thread
// of a 32-bit program while the first raises an exception, which every line
// of debug output does: there the notifications sent during the run (start,
// begin) are left out, and only those after the run's last log line are
// checked.
bool WineRunsUnderTheEmulator() {
    std::ifstream registration("/proc/sys/fs/binfmt_misc/qemu-i386");
    std::string state;
    return registration && std::getline(registration, state) && state == "enabled";
}

// The product key's "Session" (a REG_QWORD, which `reg query` does not
// show): from the export's line "Session"=hex(b):LOW,...,HIGH.
std::optional<std::uint64_t> SessionOf(const std::string& product) {
    std::string exported = RegExport(kUninstallKey + product);
    std::size_t at = exported.find("\"Session\"=hex(b):");
    if (at == std::string::npos) return std::nullopt;
    std::uint64_t value = 0;
    std::size_t byte = at + 17;
    for (int i = 0; i < 8; ++i, byte += 3) value |= std::uint64_t(std::stoul(exported.substr(byte, 2), nullptr, 16)) << (8 * i);
    return value;
}

std::vector<std::string> Paths(const std::vector<RecordedRequest>& requests) {
    std::vector<std::string> paths;
    for (const RecordedRequest& request : requests) paths.push_back(request.method + " " + request.path);
    return paths;
}

TEST(Notifications, InstallAndUninstallSendTheirEventsWithPlaceholdersReplaced) {
    HttpRecorder server;
    ASSERT_GT(server.Port(), 0);
    const std::string name = "Notify Events";
    const bool duringTheRun = !WineRunsUnderTheEmulator();
    TestProduct product = MakeProduct(name);
    product.settings.displayVersion = u"1.0 beta";
    if (duringTheRun) {
        product.settings.startNotifyAddress = server.Address("/start?server=%OSServer%");
        product.settings.beginNotifyAddress = "  " + server.Address("/begin") + " ";
    }
    product.settings.completionNotifyAddress = server.Address("/done?s=%Session%&v=%version%");
    product.settings.notifyUrl = server.Address("/removed");
    product.items.push_back(FileItem("readme.txt", "notified\r\n"));
    RunResult run = InstallSilently(WriteInstaller(product, "notify-events.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    // The exit waited for the queue: everything is there when the run ends.
    std::vector<RecordedRequest> requests = server.Requests();
    std::optional<std::uint64_t> session = SessionOf(name);
    ASSERT_TRUE(session);
    std::string sessionHex = Utf16ToUtf8(ToU16Hex(*session, 1));
    std::vector<std::string> expected = {"GET /done?s=" + sessionHex + "&v=1.0%20beta"};
    if (duringTheRun) expected.insert(expected.begin(), {"GET /start?server=0", "GET /begin"});
    EXPECT_EQ(Paths(requests), expected);
    for (const RecordedRequest& request : requests) EXPECT_EQ(request.userAgent, "Palisade Setup Installer");

    RunResult removal = UninstallQuietly(name);
    EXPECT_EQ(removal.exitCode, 0) << removal.stdoutText;
    requests = server.WaitFor(expected.size() + 1, std::chrono::seconds(60));
    ASSERT_EQ(requests.size(), expected.size() + 1);
    EXPECT_EQ(requests.back().method + " " + requests.back().path, "GET /removed");
}

TEST(Notifications, AFailedInstallationPostsTheProblemsFormWithTheLog) {
    HttpRecorder server;
    ASSERT_GT(server.Port(), 0);
    TestProduct product = MakeProduct("Notify Failure");
    product.settings.errorNotifyAddress = server.Address("/error?v=%version%");
    PayloadItem package = FileItem("broken.msi", "this is not an MSI database");
    package.kind = EntryKind::MsiPackage;
    package.flags |= 0x80;
    product.items.push_back(package);
    RunResult run = InstallSilently(WriteInstaller(product, "notify-failure.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const RecordedRequest& post = requests[0];
    EXPECT_EQ(post.method + " " + post.path, "POST /error?v=1.0.0");
    EXPECT_EQ(post.contentType, "multipart/form-data; boundary=AaB03x");
    EXPECT_THAT(post.body, StartsWith("--AaB03x\r\nContent-Disposition: form-data; name=\"problems\"\r\n\r\n"
                                      "Notify Failure 1.0.0\r\nInstaller version: 44.0.1\r\nOS: "));
    EXPECT_THAT(post.body, HasSubstr("notify-failure.exe\r\n"));
    EXPECT_THAT(post.body, HasSubstr("Installing MSI package \"" + InstallFolderOf("Notify Failure") + "\\broken.msi\"...FAILED"));
    EXPECT_THAT(post.body, HasSubstr("*** FAILURE SUMMARY ***\r\n"));
    EXPECT_THAT(post.body, EndsWith("\r\n--AaB03x--\r\n"));
    // The log file says the same as the form.
    EXPECT_THAT(InstallLogOf("Notify Failure"), HasSubstr("*** FAILURE SUMMARY ***"));
}

TEST(Notifications, AServerThatNeverAnswersDoesNotKeepTheInstallerOpen) {
    HttpRecorder silentServer(true);
    ASSERT_GT(silentServer.Port(), 0);
    TestProduct product = MakeProduct("Notify Unanswered");
    if (!WineRunsUnderTheEmulator()) product.settings.startNotifyAddress = "http://127.0.0.1:1/closed-port";
    // The completion comes after the last log line; an error notification
    // would come after it, so a failure queues a second request.
    product.settings.completionNotifyAddress = silentServer.Address("/done");
    product.items.push_back(FileItem("readme.txt", "unanswered\r\n"));
    auto started = std::chrono::steady_clock::now();
    RunResult run = InstallSilently(WriteInstaller(product, "notify-unanswered.exe"));
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    EXPECT_FALSE(silentServer.Requests().empty());
    // Without the bound the exit would wait for the request's time-out and
    // that of its second try (30 s each).
    EXPECT_LT(seconds.count(), 40) << "the installer waited for a server that never answers";
    EXPECT_THAT(ReadHostFile(HostPath(InstallFolderOf("Notify Unanswered") + "\\readme.txt")), "unanswered\r\n");
}

// The sender alone, through the probe: an answer's status, a refused
// connection, and a server that never answers, cut off at the time-out.
TEST(Notifications, TheSenderGivesTheStatusAndCutsOffAServerThatNeverAnswers) {
    HttpRecorder server;
    HttpRecorder silentServer(true);
    ASSERT_GT(server.Port(), 0);
    ASSERT_GT(silentServer.Port(), 0);
    EXPECT_EQ(RunProgram(ProbePath(), WithArguments({"http-get", server.Address("/ping?x=1")})).stdoutText,
              "status 200\n");
    std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/ping?x=1");
    EXPECT_EQ(requests[0].userAgent, "Palisade Setup Installer");

    EXPECT_EQ(RunProgram(ProbePath(), WithArguments({"http-get", "http://127.0.0.1:1/closed"})).stdoutText,
              "error 10061\n");  // WSAECONNREFUSED

    auto started = std::chrono::steady_clock::now();
    RunResult unanswered = RunProgram(ProbePath(), WithArguments({"http-get", silentServer.Address("/never"), "3000"}));
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
    EXPECT_EQ(unanswered.stdoutText, "error 10060\n");  // WSAETIMEDOUT
    EXPECT_GE(seconds.count(), 3) << "the sender waited for the time-out";
    EXPECT_LT(seconds.count(), 20) << "and no longer";
}

}  // namespace
}  // namespace palisade::wine
