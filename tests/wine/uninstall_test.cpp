// The real installer and its uninstaller under Wine: what an installation
// adds is gone again afterwards, user files stay, files in use go at the
// restart, shared files go with their last user, and the uninstaller removes
// itself. Refusals leave everything in place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <thread>

#include "core/text.h"
#include "install_support.h"
#include "uninstall_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

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

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// What Wine itself changes in drive_c while programs run, whatever they do:
// the Temp folders (the installer's unpacked files, delunins.bat, Wine's own
// scratch files) and windows\Installer (Windows Installer's package caches).
bool WineOwnedPath(const std::string& relative) {
    std::string lower = Lower(relative);
    if (lower == "windows/installer" || lower.rfind("windows/installer/", 0) == 0) return true;
    std::size_t slash = lower.find_last_of('/');
    return lower.substr(slash == std::string::npos ? 0 : slash + 1) == "temp";
}

// Registry keys that Wine rewrites on its own while programs run, unrelated
// to what they do: the random number generator's seed.
bool WineOwnedKey(const std::string& key) {
    return Lower(key).find("\\software\\microsoft\\cryptography\\rng") != std::string::npos;
}

struct PrefixState {
    Tree files;               // drive_c
    RegistryLines registry;   // HKLM\Software, HKCU\Software, HKCR (32-bit view)
};

PrefixState SnapshotPrefix() {
    PrefixState state;
    state.files = Snapshot(HostPath("C:\\"), WineOwnedPath);
    for (const char* key : {"HKLM\\Software", "HKCU\\Software", "HKCR"}) {
        RegistryLines lines = RegistrySnapshot(RegExport(key), WineOwnedKey);
        state.registry.insert(lines.begin(), lines.end());
    }
    return state;
}

// Kept on purpose: the SharedDLLs key is the system's list of every
// installer's counts; when this product's count was its only value the key
// stays behind empty (the value itself must go).
RegistryLines WithoutAllowedResidue(RegistryLines after, const RegistryLines& before) {
    std::string sharedKey = "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]";
    if (!before.count(sharedKey)) after.erase(sharedKey);
    return after;
}

// The whole product the owner asked for: files in several folders, a shared
// file, registry entries and the product key, start-menu and desktop
// shortcuts, a file association and a font that the uninstaller removes.
TestProduct EverythingProduct(const std::string& name, const std::string& fontFile, const std::string& tag) {
    TestProduct product = ProductWithFolders(name);
    InstallerSettings& s = product.settings;
    s.sharedPath = Utf8ToUtf16(InstallFolderOf(name) + " Shared");
    PayloadItem sharedItem = FileItem("common.dll", "shared code");
    sharedItem.kind = EntryKind::SharedFile;
    product.items.push_back(sharedItem);
    s.productRegistry = Utf8ToUtf16("Palisade Tests\\" + name);
    s.registryEntries = Utf8ToUtf16("\\HKCU\\Software\\Palisade Tests\\" + name + " Entries,Mode,4,7,1\r\n" +
                                    "\\HKLM\\Software\\Palisade Tests\\" + name + " Machine\\Empty\r\n");
    s.productStartMenu = Utf8ToUtf16("Palisade Tests\\" + name);
    s.shortcutPlacements.forFlag1 = kPlaceStartMenu;
    s.shortcutPlacements.forFlag2 = kPlaceDesktop;
    product.items[0].flags = 0x03;  // app.exe: a start-menu and a desktop shortcut
    product.items[0].shortcutName = Utf8ToUtf16(name + " App");
    FileAssociation association;
    association.extension = ".prt" + tag;
    association.progId = "Palisade.RoundTrip" + tag;
    association.verbs = "open";
    association.description = u"Palisade round trip document";
    association.command = u"\"%InstallDir%\\app.exe\" \"%1\"";
    association.icon = "app.exe,0";
    s.fileAssociations.push_back(association);
    PayloadItem font = FileItem(fontFile, ReadHostFile(fs::path(PALISADE_FIXTURE_DIR) / "palisade_fixture_mono.ttf"));
    font.kind = EntryKind::Font;
    font.info = "Palisade Round Trip Mono";
    product.items.push_back(font);
    s.uninstallFonts = 1;  // remove every font without asking, also in automatic runs
    return product;
}

// Snapshots the prefix, installs everything, uninstalls with the
// QuietUninstallString and compares. Runs alone ("Serial"): it sees the
// whole prefix, which other tests change while they run.
TEST(UninstallWine, SerialPrefixIsAsBeforeAfterInstallAndUninstall) {
    if (!fs::exists(fs::path(PALISADE_FIXTURE_DIR) / "palisade_fixture_mono.ttf")) {
        GTEST_SKIP() << "the font fixture was not built";
    }
    const std::string tag = std::to_string(::getpid());
    const std::string name = Unique("Uninstall Prefix Round Trip");
    const std::string fontFile = "palisade_round_trip_" + tag + ".ttf";
    const std::string desktopLink = ExpandInPrefix("%DesktopDir%") + "\\" + name + " App.lnk";
    TestProduct product = EverythingProduct(name, fontFile, tag);
    fs::path installer = WriteInstaller(product, "uninstall-prefix-round-trip.exe");

    PrefixState before = SnapshotPrefix();
    RunResult install = InstallSilently(installer);
    ASSERT_EQ(install.exitCode, 1) << install.debugOutput;
    // Everything is really there, so that the comparison below means something.
    const std::string folder = InstallFolderOf(name);
    ASSERT_TRUE(fs::exists(HostPath(folder + "\\docs\\deep\\data.bin")));
    ASSERT_TRUE(fs::exists(HostPath(folder + " Shared\\common.dll")));
    ASSERT_TRUE(fs::exists(HostPath(desktopLink))) << desktopLink;
    ASSERT_TRUE(fs::exists(HostPath(ExpandInPrefix("%SMProgramsDir%") + "\\Palisade Tests\\" + name + "\\" + name +
                                    " App.lnk")));
    ASSERT_TRUE(fs::exists(HostPath("C:\\windows\\Fonts\\" + fontFile)));
    ASSERT_EQ(RegQueryValue("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Palisade Round Trip Mono"),
              fontFile);
    ASSERT_EQ(RegQueryValue("HKCR\\.prt" + tag, ""), "Palisade.RoundTrip" + tag);
    ASSERT_EQ(RegQueryValue("HKCU\\Software\\Palisade Tests\\" + name + " Entries", "Mode"), "0x7");

    RunResult uninstall = UninstallQuietly(name);
    EXPECT_EQ(uninstall.stdoutText, "0") << uninstall.debugOutput << uninstall.stderrText;
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(HostPath(folder)); })) << "the self-removal did not finish";
    PrefixState after = SnapshotPrefix();

    EXPECT_EQ(Difference(before.files, after.files), "");
    EXPECT_EQ(Difference(before.registry, WithoutAllowedResidue(after.registry, before.registry)), "");
    // The desktop is a link to the host's home folder, outside the snapshot.
    EXPECT_FALSE(fs::exists(HostPath(desktopLink)));
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
    RegChange({"delete", kUninstallKey + name, "/v", "InstallLocation"});
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
