// File installation under Wine: exact writes with time stamps and attributes,
// a file held open by another process replaced at restart, write failures
// that must not be registered, the pending-list clean-up, folders and rights.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "install_support.h"
#include "wine_harness.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

// A clean folder of this test's own under C:\palisade-files.
std::string Folder(const std::string& name) {
    std::string windowsPath = "C:\\palisade-files\\" + name;
    fs::remove_all(HostPath(windowsPath));
    fs::create_directories(HostPath(windowsPath));
    return windowsPath;
}

RunResult Probe(std::vector<std::string> arguments) {
    RunResult r = RunProgram(ProbePath(), WithArguments(std::move(arguments)));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;
    return r;
}

// The part of a write-file answer after "--- NAME\n" and before the next "--- ".
std::string Section(const std::string& answer, const std::string& name) {
    std::string marker = "--- " + name + "\n";
    std::size_t start = answer.find(marker);
    if (start == std::string::npos) return "<missing>";
    start += marker.size();
    std::size_t end = answer.find("--- ", start);
    return answer.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

void WaitFor(const fs::path& path) {
    for (int i = 0; i < 600 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

// Keeps one Wine process running, so that the Wine session (and with it the
// pending restart operations) lives on between probe runs: a new session
// starts with a boot that carries those operations out.
class SessionKeeper {
public:
    explicit SessionKeeper(const std::string& folder) : m_file(folder + "\\keeper") {
        std::ofstream(HostPath(m_file), std::ios::binary) << "keep";
        m_run.emplace(ProbePath(), WithArguments({"hold-open", m_file, "300"}));
        WaitFor(HostPath(m_file + ".held"));
    }
    ~SessionKeeper() { Release(); }
    void Release() {
        if (!m_run) return;
        std::ofstream(HostPath(m_file + ".release"), std::ios::binary) << "";
        m_run->Wait(std::chrono::seconds(120));
        m_run.reset();
    }

private:
    std::string m_file;
    std::optional<BackgroundRun> m_run;
};

std::string PendingList() { return Probe({"pending-list"}).stdoutText; }

// The host's last-write time of a file in the prefix; -1 when it cannot be read.
std::int64_t ModifiedAt(const std::string& path) {
    struct stat info {};
    return ::stat(HostPath(path).c_str(), &info) == 0 ? std::int64_t(info.st_mtime) : -1;
}

// The files of a folder, by name.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(HostPath(folder))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileInstallationWine, WritesExactBytesWithStampAndAttributes) {
    std::string folder = Folder("write");
    std::string target = folder + "\\new\\sub\\data.bin";  // the folders are made after the first failure
    RunResult r = Probe({"write-file", target, "first~~second", "--stamp=2021,3,4,5,6,7", "--attributes=0x21"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=0");
    EXPECT_EQ(Section(r.stdoutText, "failures"), "");
    EXPECT_EQ(ReadHostFile(HostPath(target)), "first\r\nsecond");

    EXPECT_EQ(ModifiedAt(target), UtcSeconds(2021, 3, 4, 5, 6, 7));

    RunResult facts = Probe({"file-facts", target});
    EXPECT_NE(facts.stdoutText.find("exists=1\nstamp=2021/03/04 05:06:07\n"), std::string::npos) << facts.stdoutText;
    // Read-only (0x1) and archive (0x20) come from the entry.
    EXPECT_NE(facts.stdoutText.find("attributes=21\n"), std::string::npos) << facts.stdoutText;

    // Writing over the file again (the retry's attribute clearing cannot be
    // shown here: Wine run as root writes read-only and hidden files anyway).
    // A new file is committed without waiting for the disk, a replacing one
    // the durable way: both keep the stamp and leave no temporary behind.
    r = Probe({"write-file", target, "again", "--flags1=0x80000", "--stamp=2022,1,2,3,4,5"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=80000");
    EXPECT_EQ(ReadHostFile(HostPath(target)), "again");
    EXPECT_EQ(ModifiedAt(target), UtcSeconds(2022, 1, 2, 3, 4, 5));
    EXPECT_EQ(NamesIn(folder + "\\new\\sub"), std::vector<std::string>{"data.bin"});

    // A system file's version text comes from its version resource.
    facts = Probe({"file-facts", "C:\\windows\\system32\\kernel32.dll"});
    EXPECT_TRUE(std::regex_search(facts.stdoutText, std::regex("\nversion=[0-9]+\\.[0-9.]+\n"))) << facts.stdoutText;

    // Read-back verification passes for a sound write.
    r = Probe({"write-file", target, "verified", "--flags1=0x40000"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=40000");
    EXPECT_EQ(ReadHostFile(HostPath(target)), "verified");
}

// A large file's data comes from the archive in pieces, straight into the
// temporary: written with its stamp and attributes, over an old file, read
// back when asked; a checksum that does not match ends the run before the
// rename, leaving the old file and no temporary.
TEST(FileInstallationWine, StreamedDataIsCheckedBeforeItTakesTheFilesPlace) {
    std::string folder = Folder("streamed");
    std::string target = folder + "\\new\\data.bin";  // the folder is made after the first failure
    RunResult r = Probe({"write-file", target, "streamed~~data", "--streamed", "--stamp=2021,3,4,5,6,7",
                         "--attributes=0x21"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=0");
    EXPECT_EQ(Section(r.stdoutText, "failures"), "");
    EXPECT_EQ(Section(r.stdoutText, "fatal"), "0\n");
    EXPECT_EQ(Section(r.stdoutText, "painted"), "1\n");  // after its one piece
    EXPECT_EQ(ReadHostFile(HostPath(target)), "streamed\r\ndata");
    EXPECT_EQ(ModifiedAt(target), UtcSeconds(2021, 3, 4, 5, 6, 7));
    RunResult facts = Probe({"file-facts", target});
    EXPECT_NE(facts.stdoutText.find("attributes=21\n"), std::string::npos) << facts.stdoutText;

    // Over the old file, read back.
    r = Probe({"write-file", target, "replaced", "--streamed", "--flags1=0x40000", "--stamp=2022,1,2,3,4,5"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=40000");
    EXPECT_EQ(Section(r.stdoutText, "failures"), "");
    EXPECT_EQ(ReadHostFile(HostPath(target)), "replaced");
    EXPECT_EQ(ModifiedAt(target), UtcSeconds(2022, 1, 2, 3, 4, 5));

    r = Probe({"write-file", target, "damaged", "--streamed-damaged", "--stamp=2023,1,2,3,4,5"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=0 deferred=0 flags1=0");
    EXPECT_EQ(Section(r.stdoutText, "fatal"), "100\n");
    EXPECT_EQ(ReadHostFile(HostPath(target)), "replaced");
    EXPECT_EQ(NamesIn(folder + "\\new"), std::vector<std::string>{"data.bin"});
}

TEST(FileInstallationWine, FailuresThatMustNotBeRegisteredForRestart) {
    std::string folder = Folder("unwritable");
    // A folder where the file should go: the write fails; the file was not
    // seen before and 0x800 is clear, so it is not registered.
    fs::create_directories(HostPath(folder + "\\blocked.txt"));
    RunResult r = Probe({"write-file", folder + "\\blocked.txt", "x"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=0 deferred=0 flags1=0");
    EXPECT_EQ(Section(r.stdoutText, "runlog"), "");
    EXPECT_NE(Section(r.stdoutText, "failures").find("Failed to install " + folder + "\\blocked.txt\r\n"),
              std::string::npos);

    // An invalid name is never registered, even for a file seen before.
    r = Probe({"write-file", folder + "\\bad<name>.txt", "x", "--existed", "--flags1=0x800"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=0 deferred=0 flags1=800");
    EXPECT_EQ(Section(r.stdoutText, "failures").find("registered"), std::string::npos) << r.stdoutText;

    // A drive that is not there: the dedicated sentence ends the text.
    r = Probe({"write-file", "J:\\nowhere\\file.txt", "x", "--existed"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=0 deferred=0 flags1=0");
    EXPECT_EQ(Section(r.stdoutText, "failures"), "\r\nFailed to install J:\\nowhere\\file.txt\r\nDrive J: is not present.\r\n");
}

TEST(FileInstallationWine, FileInUseIsReplacedAtRestart) {
    std::string folder = Folder("reboot");
    std::string target = folder + "\\in-use.dll";
    // A large file's data is read once: its complete temporary waits for the restart.
    std::string streamedTarget = folder + "\\in-use-large.dll";
    WriteHostFile(HostPath(target), "old contents");
    WriteHostFile(HostPath(streamedTarget), "old large");
    SessionKeeper keeper(folder);
    BackgroundRun holder(ProbePath(), WithArguments({"hold-open", target, "120"}));
    BackgroundRun streamedHolder(ProbePath(), WithArguments({"hold-open", streamedTarget, "120"}));
    WaitFor(HostPath(target + ".held"));
    WaitFor(HostPath(streamedTarget + ".held"));
    ASSERT_TRUE(fs::exists(HostPath(target + ".held"))) << "the holder did not open the file";
    ASSERT_TRUE(fs::exists(HostPath(streamedTarget + ".held"))) << "the holder did not open the file";

    RunResult r = Probe({"write-file", target, "new contents", "--existed", "--stamp=2022,1,2,3,4,5"});
    RunResult streamed = Probe({"write-file", streamedTarget, "new large", "--existed", "--streamed"});
    WriteHostFile(HostPath(target + ".release"), "");
    WriteHostFile(HostPath(streamedTarget + ".release"), "");
    RunResult held = holder.Wait(std::chrono::seconds(120));
    EXPECT_EQ(held.stdoutText, "released\n");
    EXPECT_EQ(streamedHolder.Wait(std::chrono::seconds(120)).stdoutText, "released\n");
    EXPECT_EQ(FirstLine(streamed.stdoutText), "written=0 deferred=1 flags1=4000");
    EXPECT_EQ(Section(streamed.stdoutText, "fatal"), "0\n");
    std::smatch streamedTemporary;
    std::string streamedLog = Section(streamed.stdoutText, "runlog");
    ASSERT_TRUE(std::regex_search(streamedLog, streamedTemporary, std::regex("Temporary file is \"([^\"]+)\"")))
        << streamedLog;
    EXPECT_EQ(ReadHostFile(HostPath(streamedTemporary[1])), "new large");
    for (const std::string& name : NamesIn(folder)) {
        EXPECT_FALSE(name.size() > 3 && name.compare(name.size() - 3, 3, "new") == 0) << "writer's temporary " << name;
    }

    EXPECT_EQ(FirstLine(r.stdoutText), "written=0 deferred=1 flags1=4000");
    EXPECT_EQ(Section(r.stdoutText, "failures"), "");
    std::string log = Section(r.stdoutText, "runlog");
    EXPECT_EQ(log.rfind("\r\nFailed to install " + target + "\r\n", 0), 0u) << log;
    std::string registered = "\"" + target + "\" was successfully registered for replacement.\r\nTemporary file is \"";
    std::size_t at = log.find(registered);
    ASSERT_NE(at, std::string::npos) << log;
    std::size_t nameStart = at + registered.size();
    std::string temporary = log.substr(nameStart, log.find('"', nameStart) - nameStart);
    EXPECT_EQ(log.substr(log.find('"', nameStart)), "\"\r\nReboot will be required.\r\n\r\n");
    EXPECT_EQ(temporary.rfind(folder + "\\KRT", 0), 0u) << temporary;
    EXPECT_EQ(ReadHostFile(HostPath(temporary)), "new contents");
    EXPECT_EQ(ReadHostFile(HostPath(target)), "old contents");

    std::string pending = PendingList();
    EXPECT_NE(pending.find("\\??\\" + temporary + "\n!\\??\\" + target + "\n"), std::string::npos) << pending;
    keeper.Release();

    RunResult boot = RunProgram("wineboot", WithArguments({"-r"}));
    EXPECT_FALSE(boot.timedOut);
    EXPECT_EQ(ReadHostFile(HostPath(target)), "new contents");
    EXPECT_FALSE(fs::exists(HostPath(temporary)));
    EXPECT_EQ(ReadHostFile(HostPath(streamedTarget)), "new large");
}

TEST(FileInstallationWine, PendingOperationsOnInstalledFilesAreCancelled) {
    std::string folder = Folder("pending");
    SessionKeeper keeper(folder);
    for (const char* name : {"src-installed.tmp", "src-other.tmp", "deleted.dll"}) {
        WriteHostFile(HostPath(folder + "\\" + name), name);
    }
    EXPECT_EQ(FirstLine(Probe({"schedule-move", folder + "\\src-installed.tmp", folder + "\\installed.dll"}).stdoutText),
              "ok");
    EXPECT_EQ(FirstLine(Probe({"schedule-move", folder + "\\src-other.tmp", folder + "\\other.dll"}).stdoutText),
              "ok");
    EXPECT_EQ(FirstLine(Probe({"schedule-move", folder + "\\deleted.dll", ""}).stdoutText), "ok");

    RunResult r = Probe({"cancel-pending", folder + "\\INSTALLED.dll", folder + "\\deleted.dll"});
    EXPECT_EQ(r.stdoutText.rfind("\r\n", 0), 0u) << r.stdoutText;
    EXPECT_NE(r.stdoutText.find("File \"" + folder + "\\installed.dll\" was removed from the list of pending moves.\r\n"),
              std::string::npos) << r.stdoutText;
    EXPECT_NE(r.stdoutText.find("File \"" + folder + "\\deleted.dll\" was removed from the list of pending deletions.\r\n"),
              std::string::npos) << r.stdoutText;
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\src-installed.tmp")));
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\src-other.tmp")));
    EXPECT_TRUE(fs::exists(HostPath(folder + "\\deleted.dll")));

    std::string pending = PendingList();
    EXPECT_EQ(pending.find("pending\\installed.dll"), std::string::npos) << pending;
    EXPECT_EQ(pending.find("pending\\deleted.dll"), std::string::npos) << pending;
    EXPECT_NE(pending.find("pending\\other.dll"), std::string::npos) << pending;

    // Leave no move of this test for a later restart.
    Probe({"cancel-pending", folder + "\\other.dll"});
}

// The temporary beside a file must fit wherever the file fits: a name of the
// full 255 characters, and a path past MAX_PATH (the temporary is opened by
// its extended-length path; Wine takes the plain one too, so here this shows
// that the extended one is written, renamed and replaced correctly).
TEST(FileInstallationWine, LongestNamesAndPathsCanBeWritten) {
    std::string folder = Folder("long-names");
    std::string longestName(255, 'n');
    RunResult r = Probe({"write-file", folder + "\\" + longestName, "longest"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=0") << r.stdoutText;
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\" + longestName)), "longest");
    std::string streamedName(250, 's');
    r = Probe({"write-file", folder + "\\" + streamedName, "streamed", "--streamed"});
    EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=0") << r.stdoutText;
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\" + streamedName)), "streamed");
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{longestName, streamedName}));

    std::string deep = folder + "\\" + std::string(120, 'd') + "\\" + std::string(120, 'e');
    fs::create_directories(HostPath(deep));
    std::string deepFile = deep + "\\file.txt";
    ASSERT_GE(deepFile.size() + std::string(".palisade-new").size(), 260u);
    for (const char* contents : {"first", "replaced"}) {  // new, then over the old through the durable rename
        r = Probe({"write-file", deepFile, contents, "--flags1=0x40000"});
        EXPECT_EQ(FirstLine(r.stdoutText), "written=1 deferred=0 flags1=40000") << r.stdoutText;
        EXPECT_EQ(ReadHostFile(HostPath(deepFile)), contents);
    }
    EXPECT_EQ(NamesIn(deep), std::vector<std::string>{"file.txt"});
}

TEST(FileInstallationWine, FoldersRightsAndTemporaryNames) {
    std::string folder = Folder("folders");
    EXPECT_EQ(Probe({"create-folder", folder + "\\a\\b\\c"}).stdoutText, "ok\n");
    EXPECT_TRUE(fs::is_directory(HostPath(folder + "\\a\\b\\c")));
    WriteHostFile(HostPath(folder + "\\blocker"), "x");
    EXPECT_EQ(Probe({"create-folder", folder + "\\blocker\\inner"}).stdoutText.rfind("failed ", 0), 0u);
    EXPECT_EQ(Probe({"create-folder", ""}).stdoutText, "failed 267\n");  // ERROR_DIRECTORY

    EXPECT_EQ(Probe({"grant-rights", folder + "\\a"}).stdoutText,
              "Granting rights to directory \"" + folder + "\\a\"...OK\r\n");
    std::string missing = Probe({"grant-rights", folder + "\\missing"}).stdoutText;
    EXPECT_EQ(missing.rfind("Granting rights to directory \"" + folder + "\\missing\"...FAILED code 3: ", 0), 0u)
        << missing;

    std::string made = FirstLine(Probe({"make-temp", folder + "\\new", ".dll", "--stay"}).stdoutText);
    EXPECT_EQ(made.rfind(folder + "\\new\\KRT", 0), 0u) << made;
    EXPECT_EQ(made.size(), (folder + "\\new\\KRTxxxx.dll").size()) << made;
    EXPECT_TRUE(fs::exists(HostPath(made)));
    std::string plain = FirstLine(Probe({"make-temp", folder, ""}).stdoutText);
    EXPECT_EQ(plain.rfind(folder + "\\KRT", 0), 0u) << plain;
    EXPECT_TRUE(fs::exists(HostPath(plain)));
}

}  // namespace
}  // namespace palisade::wine
