// Shortcuts made by silent installations under Wine: every placement, the
// links read back through the shell, the start-in fallback, the desktop
// folder's icon, pinning, the uninstaller's shortcut and what is recorded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "install_support.h"

namespace palisade::wine {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The link's fields as the probe reads them through IShellLinkW.
std::map<std::string, std::string> ReadLink(const std::string& windowsPath) {
    RunResult run = RunProgram(ProbePath(), WithArguments({"read-link", windowsPath}));
    EXPECT_EQ(run.exitCode, 0) << windowsPath << "\n" << run.stderrText;
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = run.stdoutText.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = run.stdoutText.substr(start, end - start);
        std::size_t equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

// The path of the run-log line "<kind>(<name>) >>> path"; empty when absent.
std::string LoggedLink(const std::string& log, const std::string& kind, const std::string& name) {
    std::string head = kind + "(" + name + ") >>> ";
    std::size_t at = log.find(head);
    // "Shortcut(" also ends "Start Menu Shortcut(": find a line start.
    while (at != std::string::npos && at > 0 && log[at - 1] != '\n') at = log.find(head, at + 1);
    if (at == std::string::npos) return "";
    std::size_t begin = at + head.size();
    return log.substr(begin, log.find("\r\n", begin) - begin);
}

std::string Expand(const std::string& text) {
    return RunProgram(ProbePath(), WithArguments({"expand", text})).stdoutText;
}

PayloadItem ShortcutItem(const std::string& file, std::uint32_t flags, const std::u16string& name) {
    PayloadItem item = FileItem(file, "program " + file + "\r\n");
    item.flags = flags;
    item.shortcutName = name;
    return item;
}

TestProduct PlacesProduct() {
    TestProduct product = MakeProduct("Shortcuts Places");
    InstallerSettings& s = product.settings;
    s.productStartMenu = u"Palisade Tests\\Shortcuts Places";
    s.desktopFolder = u"Shortcuts Places Folder";
    s.desktopFolderIcon = {'I', 'C', 'O', 'N'};
    s.shortcutPlacements.forFlag1 = kPlaceStartMenu | kPlaceStartup;
    s.shortcutPlacements.forFlag2 = kPlaceDesktop | kPlaceDesktopFolder;
    s.shortcutPlacements.forKind5 = kPlaceRoot;
    s.shortcutPlacements.forUninstaller = kPlaceStartMenu;

    PayloadItem app = ShortcutItem("app.exe", 0x03, u"Shortcuts Places App");
    app.info = "The places app";
    app.arguments = "--start";
    product.items.push_back(app);
    PayloadItem tool = FileItem("shortcut-places-tool.exe", "tool\r\n");
    tool.kind = EntryKind::ShortcutFile;  // no shortcut bits: named after the file
    product.items.push_back(tool);
    product.items.push_back(ShortcutItem("keep.txt", 0x01 | 0x20, u"Shortcuts Places Keep"));  // permanent

    AuthorShortcut site;
    site.name = u"Shortcuts Places Site";
    site.target = u"%InstallDir%\\app.exe";
    site.flags = kShortcutExpandTarget;
    site.arguments = u"~\"%InstallDir%\\shortcut-places-tool.exe\" --go";
    site.folder = u"%InstallDir%\\links";
    site.startIn = "C:\\Palisade Tests\\No Such Start Folder";
    site.placements = kPlaceTaskbar;
    s.authorShortcuts.push_back(site);
    return product;
}

// What one installation left behind; the checks below share it, since tests
// run in parallel and must not install the same product at once.
struct Installed {
    std::string log;
    std::string data;  // Uninstall.DAT
    std::string folder;
};

void CheckStartMenuLinkReadsBackWithTheEntrysFields(const Installed& in) {
    std::string link = LoggedLink(in.log, "Start Menu Shortcut", "Shortcuts Places App");
    EXPECT_EQ(link, Expand("%SMProgramsDir%") + "\\Palisade Tests\\Shortcuts Places\\Shortcuts Places App.lnk")
        << in.log;
    std::map<std::string, std::string> fields = ReadLink(link);
    EXPECT_EQ(fields["target"], in.folder + "\\app.exe");
    EXPECT_EQ(fields["arguments"], "--start");
    EXPECT_EQ(fields["start-in"], in.folder) << "an empty start-in folder is the installation folder";
    EXPECT_EQ(fields["description"], "The places app");
    EXPECT_THAT(in.data, HasSubstr("\r\n" + link + "\r\n"));
    EXPECT_THAT(in.data, HasSubstr("~" + Expand("%SMProgramsDir%") + "\\Palisade Tests\\Shortcuts Places\r\n"));
    EXPECT_THAT(in.log, Not(HasSubstr("FAILURE SUMMARY")));
}

void CheckStartupDesktopAndDesktopFolderLinksExist(const Installed& in) {
    std::string startup = LoggedLink(in.log, "Startup Shortcut", "Shortcuts Places App");
    EXPECT_EQ(startup, Expand("%StartupDir%") + "\\Shortcuts Places App.lnk") << in.log;
    std::string desktop = LoggedLink(in.log, "Desktop Shortcut", "Shortcuts Places App");
    EXPECT_EQ(desktop, Expand("%DesktopDir%") + "\\Shortcuts Places App.lnk");
    std::string inFolder = LoggedLink(in.log, "Desktop Folder Shortcut", "Shortcuts Places App");
    std::string folder = Expand("%DesktopDir%") + "\\Shortcuts Places Folder";
    EXPECT_EQ(inFolder, folder + "\\Shortcuts Places App.lnk");
    // The desktop is a folder of the prefix, not a link to the host's home.
    EXPECT_FALSE(std::filesystem::is_symlink(HostPath(Expand("%DesktopDir%"))));
    EXPECT_TRUE(std::filesystem::exists(HostPath(desktop)));
    for (const std::string& link : {startup, desktop, inFolder}) {
        EXPECT_EQ(ReadLink(link)["target"], in.folder + "\\app.exe") << link;
        EXPECT_THAT(in.data, HasSubstr("\r\n" + link + "\r\n"));
    }
    // The desktop and Startup folders are the system's: never recorded.
    EXPECT_THAT(in.data, Not(HasSubstr("~" + Expand("%DesktopDir%") + "\r\n")));
    EXPECT_THAT(in.data, Not(HasSubstr("~" + Expand("%StartupDir%") + "\r\n")));
}

void CheckDesktopFolderCarriesItsIcon(const Installed& in) {
    std::string folder = Expand("%DesktopDir%") + "\\Shortcuts Places Folder";
    EXPECT_EQ(ReadHostFile(HostPath(folder + "\\Desktop Icon.ico")), "ICON");
    std::string ini = ReadHostFile(HostPath(folder + "\\Desktop.ini"));
    std::u16string expected = u"\uFEFF[.ShellClassInfo]\r\nIconFile=Desktop Icon.ico\r\nIconIndex=0\r\n";
    EXPECT_EQ(ini, std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 2));
    EXPECT_THAT(in.log, Not(HasSubstr("Failed to create Desktop shortcut folder icon")));
    EXPECT_THAT(in.data, HasSubstr("~" + folder + "\r\n"));
    EXPECT_THAT(in.data, HasSubstr("\r\n" + folder + "\\Desktop.ini\r\n"));
    EXPECT_THAT(in.data, HasSubstr("\r\n" + folder + "\\Desktop Icon.ico\r\n"));
}

void CheckKindFiveEntryGoesToTheRootUnderItsFileName(const Installed& in) {
    std::string root = LoggedLink(in.log, "Root Shortcut", "shortcut-places-tool");
    EXPECT_EQ(root, Expand("%WinDir%").substr(0, 1) + ":\\shortcut-places-tool.lnk") << in.log;
    EXPECT_EQ(ReadLink(root)["target"], in.folder + "\\shortcut-places-tool.exe");
    EXPECT_THAT(in.data, HasSubstr("\r\n" + root + "\r\n"));
}

void CheckExplicitFolderTildeArgumentsAndMissingStartIn(const Installed& in) {
    std::string link = LoggedLink(in.log, "Shortcut", "Shortcuts Places Site");
    EXPECT_EQ(link, in.folder + "\\links\\Shortcuts Places Site.lnk") << in.log;
    std::map<std::string, std::string> fields = ReadLink(link);
    EXPECT_EQ(fields["target"], in.folder + "\\shortcut-places-tool.exe");
    EXPECT_EQ(fields["arguments"], "--go");
    EXPECT_EQ(fields["start-in"], in.folder);
    EXPECT_THAT(in.log, HasSubstr("Shortcut \"Start In\" folder \"C:\\Palisade Tests\\No Such Start Folder\" "
                                  "doesn't exist.\r\n"));
    EXPECT_THAT(in.data, HasSubstr("~" + in.folder + "\\links\r\n"));
    // Wine offers no "taskbarpin" verb.
    EXPECT_THAT(in.log, HasSubstr("Pin to taskbar(" + link + "): FAIL\r\n"));
    EXPECT_THAT(in.data, Not(HasSubstr("User Pinned")));
}

void CheckPermanentEntryIsCreatedButNotRecorded(const Installed& in) {
    std::string link = LoggedLink(in.log, "Start Menu Shortcut", "Shortcuts Places Keep");
    EXPECT_FALSE(link.empty()) << in.log;
    EXPECT_EQ(ReadLink(link)["target"], in.folder + "\\keep.txt");
    EXPECT_THAT(in.data, Not(HasSubstr("Shortcuts Places Keep.lnk")));
}

void CheckUninstallerGetsItsOwnShortcut(const Installed& in) {
    std::string link = LoggedLink(in.log, "Start Menu Shortcut", "Uninstall Shortcuts Places");
    EXPECT_EQ(link, Expand("%SMProgramsDir%") + "\\Palisade Tests\\Shortcuts Places\\Uninstall Shortcuts Places.lnk")
        << in.log;
    std::map<std::string, std::string> fields = ReadLink(link);
    EXPECT_EQ(fields["target"], in.folder + "\\uninstall\\uninstall.exe");
    EXPECT_EQ(fields["arguments"], "/u:\"Shortcuts Places\"");
    EXPECT_EQ(fields["start-in"], in.folder + "\\uninstall");
    EXPECT_EQ(fields["description"], "Remove Shortcuts Places from your computer");
    EXPECT_THAT(in.data, HasSubstr("\r\n" + link + "\r\n"));
}

TEST(ShortcutPlaces, EveryPlacementRecordedAndReadBack) {
    // The desktop folder is recorded and decorated only when this run makes it.
    std::filesystem::remove_all(HostPath(Expand("%DesktopDir%") + "\\Shortcuts Places Folder"));
    RunResult run = InstallSilently(WriteInstaller(PlacesProduct(), "shortcuts-places.exe"));
    ASSERT_EQ(run.exitCode, 1) << run.debugOutput;
    Installed in;
    in.folder = InstallFolderOf("Shortcuts Places");
    in.log = InstallLogOf("Shortcuts Places");
    in.data = ReadHostFile(HostPath(in.folder + "\\uninstall\\Uninstall.DAT"));
    CheckStartMenuLinkReadsBackWithTheEntrysFields(in);
    CheckStartupDesktopAndDesktopFolderLinksExist(in);
    CheckDesktopFolderCarriesItsIcon(in);
    CheckKindFiveEntryGoesToTheRootUnderItsFileName(in);
    CheckExplicitFolderTildeArgumentsAndMissingStartIn(in);
    CheckPermanentEntryIsCreatedButNotRecorded(in);
    CheckUninstallerGetsItsOwnShortcut(in);
}

TEST(ShortcutScope, AllUsersModePutsLinksOnTheCommonDesktop) {
    TestProduct product = MakeProduct("Shortcuts All Users");
    product.settings.shortcutMode = 1;
    product.settings.shortcutPlacements.forFlag2 = kPlaceDesktop;
    product.settings.shortcutPlacements.forUninstaller = 0;
    product.items.push_back(ShortcutItem("common.exe", 0x02, u"Shortcuts All Users App"));
    RunResult run = InstallSilently(WriteInstaller(product, "shortcuts-all-users.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;
    std::string log = InstallLogOf("Shortcuts All Users");
    std::string link = LoggedLink(log, "Desktop Shortcut", "Shortcuts All Users App");
    EXPECT_EQ(link, Expand("%DesktopAllDir%") + "\\Shortcuts All Users App.lnk") << log;
    EXPECT_TRUE(std::filesystem::exists(HostPath(link)));
    EXPECT_THAT(log, Not(HasSubstr("Uninstall Shortcuts All Users")));
    EXPECT_EQ(RegQueryValue("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Shortcuts All Users",
                            "ShortcutMode"),
              "0x1");
}

TEST(ShortcutFailures, FolderAndLinkFailuresAreLoggedAndTheRunGoesOn) {
    TestProduct product = MakeProduct("Shortcuts Failures");
    product.settings.shortcutPlacements.forUninstaller = 0;
    product.items.push_back(FileItem("app.txt", "app\r\n"));
    AuthorShortcut throughFile;
    throughFile.name = u"Shortcuts Failures Nowhere";
    throughFile.target = u"C:\\Windows\\notepad.exe";
    throughFile.folder = u"%InstallDir%\\app.txt\\sub";  // a file stands in the way
    product.settings.authorShortcuts.push_back(throughFile);
    AuthorShortcut badName = throughFile;
    badName.name = u"Bad|Name";
    badName.folder = u"%InstallDir%\\links";
    product.settings.authorShortcuts.push_back(badName);
    AuthorShortcut good = throughFile;
    good.name = u"Shortcuts Failures Good";
    good.folder = u"%InstallDir%\\links";
    product.settings.authorShortcuts.push_back(good);
    RunResult run = InstallSilently(WriteInstaller(product, "shortcuts-failures.exe"));
    EXPECT_EQ(run.exitCode, 1) << run.debugOutput;

    const std::string folder = InstallFolderOf("Shortcuts Failures");
    std::string log = InstallLogOf("Shortcuts Failures");
    EXPECT_THAT(log, HasSubstr("Failed to create folder " + folder + "\\app.txt\\sub: "));
    EXPECT_THAT(log, HasSubstr("Could not install " + folder + "\\links\\Bad|Name.lnk\r\nCode 0x8"));
    EXPECT_THAT(log, Not(HasSubstr("Shortcut(Bad|Name)")));
    EXPECT_EQ(LoggedLink(log, "Shortcut", "Shortcuts Failures Good"), folder + "\\links\\Shortcuts Failures Good.lnk");
    std::string data = ReadHostFile(HostPath(folder + "\\uninstall\\Uninstall.DAT"));
    EXPECT_THAT(data, Not(HasSubstr("Bad|Name")));
    EXPECT_THAT(data, Not(HasSubstr("app.txt\\sub")));
}

}  // namespace
}  // namespace palisade::wine
