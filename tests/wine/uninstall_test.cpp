// The real installer and its uninstaller under Wine: what an installation
// adds is gone again afterwards, user files stay, files in use go at the
// restart, shared files go with their last user, and the uninstaller removes
// itself. Refusals leave everything in place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <thread>

#include "core/text.h"
#include "install_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kSharedDlls[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string Unique(const std::string& name) { return name + " " + std::to_string(::getpid()); }

// Relative path → contents hash of every file and folder below `root`.
using Tree = std::map<std::string, std::size_t>;
Tree Snapshot(const fs::path& root) {
    Tree tree;
    if (!fs::exists(root)) return tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string relative = fs::relative(entry.path(), root).string();
        tree[relative] = entry.is_directory() ? 0 : std::hash<std::string>()(ReadHostFile(entry.path()));
    }
    return tree;
}

std::string Difference(const Tree& before, const Tree& after) {
    std::string text;
    for (const auto& [path, hash] : after) {
        auto it = before.find(path);
        if (it == before.end()) text += "  left behind: " + path + "\n";
        else if (it->second != hash) text += "  changed: " + path + "\n";
    }
    for (const auto& [path, hash] : before) {
        if (!after.count(path)) text += "  removed: " + path + "\n";
    }
    return text;
}

bool WaitUntil(const std::function<bool()>& done, int seconds = 90) {
    for (int i = 0; i < seconds * 4; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return done();
}

// Runs the product's QuietUninstallString exactly as stored.
RunResult UninstallQuietly(const std::string& name) {
    std::optional<std::string> quiet = RegQueryValue(kUninstallKey + name, "QuietUninstallString");
    EXPECT_TRUE(quiet) << "no QuietUninstallString for " << name;
    if (!quiet) return {};
    std::string program = quiet->substr(1, quiet->find('"', 1) - 1);
    std::string arguments = quiet->substr(quiet->find('"', 1) + 2);
    EXPECT_EQ(arguments, "/a /u:\"" + name + "\"");
    return RunProgram(ProbePath(), WithArguments({"run-line", program, arguments}));
}

// Keeps one Wine process alive, so that a new session does not carry out
// the pending restart operations by itself before the test restarts.
class SessionKeeper {
public:
    explicit SessionKeeper(const std::string& folder) : m_file(folder + "\\keeper") {
        WriteHostFile(HostPath(m_file), "keep");
        m_run.emplace(ProbePath(), WithArguments({"hold-open", m_file, "300"}));
        WaitUntil([&] { return fs::exists(HostPath(m_file + ".held")); });
    }
    ~SessionKeeper() { Release(); }
    void Release() {
        if (!m_run) return;
        WriteHostFile(HostPath(m_file + ".release"), "");
        m_run->Wait(std::chrono::seconds(120));
        m_run.reset();
    }

private:
    std::string m_file;
    std::optional<BackgroundRun> m_run;
};

TestProduct ProductWithFolders(const std::string& name) {
    TestProduct product = MakeProduct(name);
    product.items.push_back(FileItem("app.exe", "the program"));
    product.items.push_back(FileItem("guide.txt", "a guide", u"docs\\"));
    product.items.push_back(FileItem("data.bin", std::string(5000, 'x'), u"docs\\deep\\"));
    return product;
}

TEST(UninstallWine, RoundTripLeavesNothingBehindAndTheUninstallerRemovesItself) {
    const std::string name = Unique("Uninstall Round Trip");
    const std::string folder = InstallFolderOf(name);
    const std::string shared = folder + " Shared";
    const std::string sharedFile = shared + "\\common.dll";
    const std::string productKey = "HKCU\\Software\\Palisade Tests\\" + name;
    TestProduct product = ProductWithFolders(name);
    product.settings.sharedPath = Utf8ToUtf16(shared);
    PayloadItem sharedItem = FileItem("common.dll", "shared code");
    sharedItem.kind = EntryKind::SharedFile;
    product.items.push_back(sharedItem);
    product.settings.productRegistry = Utf8ToUtf16("Palisade Tests\\" + name);
    product.settings.registryEntries = Utf8ToUtf16("\\HKCU\\Software\\Palisade Tests\\" + name + " Entries,Mode,4,7,1\r\n");

    Tree before = Snapshot(HostPath(folder));
    Tree sharedBefore = Snapshot(HostPath(shared));
    RunResult install = InstallSilently(WriteInstaller(product, "uninstall-round-trip.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    ASSERT_TRUE(fs::exists(HostPath(folder + "\\docs\\deep\\data.bin")));
    ASSERT_EQ(ReadHostFile(HostPath(sharedFile)), "shared code");
    ASSERT_EQ(RegQueryValue(kSharedDlls, sharedFile), "0x1");
    ASSERT_THAT(RegExport(productKey), HasSubstr("[HKEY_CURRENT_USER"));

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput << uninstall.stderrText;
    // The script needs the uninstaller to have ended; then it empties the folder.
    bool gone = WaitUntil([&] { return !fs::exists(HostPath(folder)); });
    EXPECT_TRUE(gone) << Difference(before, Snapshot(HostPath(folder)));
    EXPECT_EQ(Difference(sharedBefore, Snapshot(HostPath(shared))), "");
    EXPECT_EQ(RegQueryValue(kSharedDlls, sharedFile), std::nullopt);
    EXPECT_EQ(RegExport(kUninstallKey + name), "");
    EXPECT_EQ(RegExport(productKey), "");
    EXPECT_EQ(RegExport("HKCU\\Software\\Palisade Tests\\" + name + " Entries"), "");
    EXPECT_EQ(RegExport("HKLM\\Software\\Palisade Tests\\" + name), "");
}

TEST(UninstallWine, AUserFileSurvivesWithItsFolder) {
    const std::string name = Unique("Uninstall User File");
    const std::string folder = InstallFolderOf(name);
    RunResult install = InstallSilently(WriteInstaller(ProductWithFolders(name), "uninstall-user-file.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    WriteHostFile(HostPath(folder + "\\docs\\my notes.txt"), "mine");
    WriteHostFile(HostPath(folder + "\\docs\\deep\\Thumbs.db"), "shell cache");

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder + "\\uninstall")); }));
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\docs\\my notes.txt")), "mine");
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\docs\\guide.txt")));
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\docs\\deep")));  // held only a shell leftover
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\app.exe")));
    Tree left = Snapshot(HostPath(folder));
    EXPECT_EQ(left.size(), 2u) << Difference({}, left);  // docs and the note
}

TEST(UninstallWine, AFileInUseIsDeletedAtTheRestartWithItsFolder) {
    const std::string name = Unique("Uninstall In Use");
    const std::string folder = InstallFolderOf(name);
    const std::string held = folder + "\\docs\\deep\\data.bin";
    RunResult install = InstallSilently(WriteInstaller(ProductWithFolders(name), "uninstall-in-use.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;

    SessionKeeper keeper(folder + " keeper");
    BackgroundRun holder(ProbePath(), WithArguments({"hold-open", held, "300"}));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(HostPath(held + ".held")); }));
    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput;
    WriteHostFile(HostPath(held + ".release"), "");
    holder.Wait(std::chrono::seconds(120));
    fs::remove(HostPath(held + ".held"));
    fs::remove(HostPath(held + ".release"));

    EXPECT_TRUE(fs::exists(HostPath(held)));
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\docs\\guide.txt")));
    std::string pending = RunProgram(ProbePath(), WithArguments({"pending-list"})).stdoutText;
    EXPECT_THAT(pending, HasSubstr(held)) << pending;
    EXPECT_EQ(RegExport(kUninstallKey + name), "");

    keeper.Release();
    RunResult boot = RunProgram("wineboot", WithArguments({"-r"}));
    EXPECT_FALSE(boot.timedOut);
    EXPECT_FALSE(fs::exists(HostPath(held)));
    EXPECT_FALSE(fs::exists(HostPath(folder + "\\docs\\deep")));
}

TEST(UninstallWine, ASharedFileStaysUntilItsLastProductIsRemoved) {
    const std::string tag = std::to_string(::getpid());
    const std::string shared = "C:\\Palisade Tests\\Shared Between " + tag;
    const std::string sharedFile = shared + "\\common.dll";
    std::vector<std::string> names = {Unique("Uninstall Sharer A"), Unique("Uninstall Sharer B")};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        TestProduct product = MakeProduct(name);
        product.settings.sharedPath = Utf8ToUtf16(shared);
        PayloadItem item = FileItem("common.dll", "shared code");
        item.kind = EntryKind::SharedFile;
        product.items.push_back(item);
        product.items.push_back(FileItem("own.txt", name));
        RunResult install = InstallSilently(WriteInstaller(product, "uninstall-sharer-" + std::to_string(i) + ".exe"));
        ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    }
    ASSERT_EQ(RegQueryValue(kSharedDlls, sharedFile), "0x2");

    EXPECT_EQ(UninstallQuietly(names[0]).stdoutText, "0");
    EXPECT_EQ(ReadHostFile(HostPath(sharedFile)), "shared code");
    EXPECT_EQ(RegQueryValue(kSharedDlls, sharedFile), "0x1");
    EXPECT_FALSE(fs::exists(HostPath(InstallFolderOf(names[0]) + "\\own.txt")));

    EXPECT_EQ(UninstallQuietly(names[1]).stdoutText, "0");
    EXPECT_FALSE(fs::exists(HostPath(sharedFile)));
    EXPECT_FALSE(fs::exists(HostPath(shared)));
    EXPECT_EQ(RegQueryValue(kSharedDlls, sharedFile), std::nullopt);
}

TEST(UninstallWine, AnUnknownNameIsRefused) {
    const std::string name = Unique("Uninstall Nobody");
    std::string stub = "Z:" + StubPath().string();
    for (char& c : stub) c = c == '/' ? '\\' : c;
    RunResult r = RunProgram(ProbePath(), WithArguments({"run-line", stub, "/silent /u:\"" + name + "\""}));
    EXPECT_EQ(r.stdoutText, "1");
    EXPECT_THAT(r.debugOutput, HasSubstr("No product named '" + name + "' is installed."));
}

TEST(UninstallWine, AnEntryWithoutItsLocationIsCorruptAndNothingIsRemoved) {
    const std::string name = Unique("Uninstall Corrupt");
    const std::string folder = InstallFolderOf(name);
    RunResult install = InstallSilently(WriteInstaller(ProductWithFolders(name), "uninstall-corrupt.exe"));
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    Tree installed = Snapshot(HostPath(folder));
    RunProgram("reg", WithArguments({"delete", kUninstallKey + name, "/v", "InstallLocation", "/f", "/reg:32"}));
    ASSERT_EQ(RegQueryValue(kUninstallKey + name, "InstallLocation"), std::nullopt);

    RunResult r = RunProgram(ProbePath(), WithArguments({"run-line", folder + "\\uninstall\\uninstall.exe",
                                                         "/silent /a /u:\"" + name + "\""}));
    EXPECT_EQ(r.stdoutText, "1");
    EXPECT_THAT(r.debugOutput, HasSubstr("The uninstall information for " + name + " is corrupt."));
    std::this_thread::sleep_for(std::chrono::seconds(2));  // no script may be at work
    EXPECT_EQ(Difference(installed, Snapshot(HostPath(folder))), "");
    EXPECT_TRUE(RegQueryValue(kUninstallKey + name, "DisplayName").has_value());
}

}  // namespace
}  // namespace palisade::wine
