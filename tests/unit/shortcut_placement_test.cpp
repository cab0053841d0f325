// The shortcut step's system-free rules: placements chosen from the entry
// bits and settings, the places made, the argument split, the start-in
// choice, the texts and the folder levels recorded for removal.
#include "actions/shortcut_placement.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

using Places = std::vector<ShortcutPlace>;

ShortcutRecord Entry(bool flag1, bool flag2, bool kind5) {
    ShortcutRecord record;
    record.flag1 = flag1;
    record.flag2 = flag2;
    record.alwaysShortcut = kind5;
    record.name = u"App";
    record.target = u"C:\\App\\app.exe";
    return record;
}

TEST(ShortcutPlacementTest, EntryBitsTakeTheirSettingsBytes) {
    ShortcutPlacements settings;
    settings.forFlag1 = kPlaceStartMenu | kPlaceStartup;
    settings.forFlag2 = kPlaceDesktop;
    settings.forKind5 = kPlaceRoot;
    settings.forUninstaller = kPlaceTaskbar;  // never used by file entries
    struct Case {
        bool flag1, flag2, kind5;
        std::uint8_t expected;
    } cases[] = {
        {true, false, false, kPlaceStartMenu | kPlaceStartup},
        {false, true, false, kPlaceDesktop},
        {true, true, false, kPlaceStartMenu | kPlaceStartup | kPlaceDesktop},
        {false, false, true, kPlaceRoot},
        {true, false, true, kPlaceStartMenu | kPlaceStartup | kPlaceRoot},
        {false, false, false, 0},
    };
    for (const Case& c : cases) {
        ShortcutJob job = JobForEntry(Entry(c.flag1, c.flag2, c.kind5), settings);
        EXPECT_EQ(job.placements, c.expected) << c.flag1 << c.flag2 << c.kind5;
        EXPECT_FALSE(job.expandTarget) << "an installed file's path is final";
    }
}

TEST(ShortcutPlacementTest, EntryWithoutAShortcutNameIsNamedAfterItsFile) {
    ShortcutRecord record = Entry(false, false, true);
    record.name.clear();
    record.target = u"C:\\App\\v1.2\\tool.setup.exe";
    EXPECT_EQ(JobForEntry(record, ShortcutPlacements{}).name, u"tool.setup");
    record.target = u"C:\\App\\README";
    EXPECT_EQ(JobForEntry(record, ShortcutPlacements{}).name, u"README");
    record.name = u"Given";
    EXPECT_EQ(JobForEntry(record, ShortcutPlacements{}).name, u"Given");
}

TEST(ShortcutPlacementTest, AuthorShortcutKeepsItsOwnFields) {
    AuthorShortcut shortcut;
    shortcut.name = u"Site";
    shortcut.target = u"%InstallDir%\\site.url";
    shortcut.folder = u"%DesktopDir%\\Links";
    shortcut.placements = kPlaceDesktop | kPlaceTaskbar;
    shortcut.startIn = "|C:\\Caf\xC3\xA9";  // the program's UTF-8 narrow form
    shortcut.flags = kShortcutPermanent | kShortcutExpandTarget;
    shortcut.showCommand = 3;
    shortcut.iconIndex = 2;
    ShortcutJob job = JobForAuthor(shortcut);
    EXPECT_EQ(job.explicitFolder, u"%DesktopDir%\\Links");
    EXPECT_EQ(job.placements, kPlaceDesktop | kPlaceTaskbar);
    EXPECT_EQ(job.startIn, u"C:\\Caf\u00E9");
    EXPECT_TRUE(job.permanent);
    EXPECT_TRUE(job.expandTarget);
    EXPECT_EQ(job.showCommand, 3);
    EXPECT_EQ(job.iconIndex, 2);

    shortcut.flags = 0;
    shortcut.startIn = "C:\\Caf\xE9";  // Windows-1252
    job = JobForAuthor(shortcut);
    EXPECT_FALSE(job.permanent);
    EXPECT_FALSE(job.expandTarget);
    EXPECT_EQ(job.startIn, u"C:\\Caf\u00E9");
}

TEST(ShortcutPlacementTest, UninstallerShortcutNameIsAValidFileName) {
    ShortcutJob job = JobForUninstaller(u"&Uninstall", u"Tools: A/B \"X\"", u"Remove it", u"C:\\P\\u\\uninstall.exe",
                                        u"/u:\"Tools\"", u"C:\\P\\u", kPlaceStartMenu);
    EXPECT_EQ(job.name, u"Uninstall Tools_ A_B _X_");
    EXPECT_EQ(job.description, u"Remove it");
    EXPECT_EQ(job.target, u"C:\\P\\u\\uninstall.exe");
    EXPECT_EQ(job.arguments, u"/u:\"Tools\"");
    EXPECT_EQ(job.startIn, u"C:\\P\\u");
    EXPECT_EQ(job.placements, kPlaceStartMenu);
    EXPECT_FALSE(job.permanent);
    EXPECT_EQ(JobForUninstaller(u"", u"App", u"", u"u.exe", u"", u"", 1).name, u"Uninstall App");
    // An access key in brackets after the word goes with its brackets.
    EXPECT_EQ(JobForUninstaller(u"\u30a2\u30f3\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb(&U)", u"App", u"", u"u.exe", u"", u"", 1).name,
              u"\u30a2\u30f3\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb App");
    EXPECT_EQ(JobForUninstaller(u"Remove (&R)", u"App", u"", u"u.exe", u"", u"", 1).name, u"Remove App");
    EXPECT_EQ(JobForUninstaller(u"R&&D (&x", u"App", u"", u"u.exe", u"", u"", 1).name, u"RD (x App");
}

TEST(ShortcutPlacementTest, PlacesInTheOrderTheStepMakesThem) {
    const std::uint8_t all = kPlaceStartMenu | kPlaceDesktop | kPlaceDesktopFolder | kPlaceStartup | kPlaceRoot;
    EXPECT_EQ(PlacesFor(all, true, true),
              (Places{ShortcutPlace::DesktopFolder, ShortcutPlace::Desktop, ShortcutPlace::StartMenu,
                      ShortcutPlace::Startup, ShortcutPlace::Explicit, ShortcutPlace::Root}));
    EXPECT_EQ(PlacesFor(0, false, false), Places{});
    EXPECT_EQ(PlacesFor(0, false, true), Places{ShortcutPlace::Explicit});
}

TEST(ShortcutPlacementTest, DesktopFolderWithoutAFolderNameFallsBackToTheDesktopOnce) {
    EXPECT_EQ(PlacesFor(kPlaceDesktopFolder, false, false), Places{ShortcutPlace::Desktop});
    EXPECT_EQ(PlacesFor(kPlaceDesktopFolder | kPlaceDesktop, false, false), Places{ShortcutPlace::Desktop});
    EXPECT_EQ(PlacesFor(kPlaceDesktopFolder, true, false), Places{ShortcutPlace::DesktopFolder});
}

TEST(ShortcutPlacementTest, PinningAloneNeedsAStartMenuLink) {
    EXPECT_EQ(PlacesFor(kPlaceTaskbar, false, false), Places{ShortcutPlace::StartMenu});
    EXPECT_EQ(PlacesFor(kPlaceTaskbar | kPlaceDesktop, false, false), Places{ShortcutPlace::Desktop});
    EXPECT_EQ(PlacesFor(kPlaceTaskbar, false, true), Places{ShortcutPlace::Explicit});
}

TEST(ShortcutPlacementTest, TildeArgumentsReplaceTheTarget) {
    struct Case {
        std::u16string arguments;
        std::u16string target;
        std::u16string rest;
    } cases[] = {
        {u"~\"C:\\Tools\\run.exe\" -x \"a b\"", u"C:\\Tools\\run.exe", u"-x \"a b\""},
        {u"~\"C:\\Tools\\run.exe\"", u"C:\\Tools\\run.exe", u""},
        {u"~\"C:\\No Close\\run.exe -y", u"C:\\No Close\\run.exe -y", u""},
        {u"~C:\\plain.exe", u"C:\\file.txt", u"~C:\\plain.exe"},
        {u"-x ~\"y\"", u"C:\\file.txt", u"-x ~\"y\""},
        {u"", u"C:\\file.txt", u""},
    };
    for (const Case& c : cases) {
        TargetAndArguments split = SplitTildeArguments(u"C:\\file.txt", c.arguments);
        EXPECT_EQ(split.target, c.target);
        EXPECT_EQ(split.arguments, c.rest);
    }
}

TEST(ShortcutPlacementTest, StartInFallsBackToTheInstallationFolder) {
    StartInChoice empty = ChooseStartIn(u"", u"C:\\App", false);
    EXPECT_EQ(empty.folder, u"C:\\App");
    EXPECT_EQ(empty.logLine, u"");
    StartInChoice present = ChooseStartIn(u"C:\\Work", u"C:\\App", true);
    EXPECT_EQ(present.folder, u"C:\\Work");
    EXPECT_EQ(present.logLine, u"");
    StartInChoice missing = ChooseStartIn(u"C:\\Gone", u"C:\\App", false);
    EXPECT_EQ(missing.folder, u"C:\\App");
    EXPECT_EQ(missing.logLine, u"Shortcut \"Start In\" folder \"C:\\Gone\" doesn't exist.\r\n");
}

TEST(ShortcutPlacementTest, PathsAndLogLines) {
    EXPECT_EQ(ShortcutFilePath(u"C:\\Menu\\App", u"Run"), u"C:\\Menu\\App\\Run.lnk");
    EXPECT_EQ(ShortcutFilePath(u"C:\\Menu\\App\\", u"Run"), u"C:\\Menu\\App\\Run.lnk");
    EXPECT_EQ(RootShortcutPath(u'D', u"Run"), u"D:\\Run.lnk");
    struct Case {
        ShortcutPlace place;
        std::u16string line;
    } cases[] = {
        {ShortcutPlace::DesktopFolder, u"Desktop Folder Shortcut(Run) >>> P\r\n"},
        {ShortcutPlace::Desktop, u"Desktop Shortcut(Run) >>> P\r\n"},
        {ShortcutPlace::StartMenu, u"Start Menu Shortcut(Run) >>> P\r\n"},
        {ShortcutPlace::Startup, u"Startup Shortcut(Run) >>> P\r\n"},
        {ShortcutPlace::Explicit, u"Shortcut(Run) >>> P\r\n"},
        {ShortcutPlace::Root, u"Root Shortcut(Run) >>> P\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(PlacementLogLine(c.place, u"Run", u"P"), c.line);
    EXPECT_EQ(CreationFailureText(u"Could not install", u"C:\\x.lnk", 0x80070005u, u"Access is denied."),
              u"Could not install C:\\x.lnk\r\nCode 0x80070005: Access is denied.\r\n\r\n");
    EXPECT_EQ(PinLogLine(u"C:\\x.lnk", true), u"Pin to taskbar(C:\\x.lnk): OK\r\n");
    EXPECT_EQ(PinLogLine(u"C:\\x.lnk", false), u"Pin to taskbar(C:\\x.lnk): FAIL\r\n");
}

TEST(ShortcutPlacementTest, PinnedLinksAreRecognisedInTheUninstallList) {
    std::u16string pinned = PinnedLinkPath(u"C:\\Users\\me\\AppData\\Roaming\\", u"C:\\Menu\\App\\Run.lnk");
    EXPECT_EQ(
        pinned,
        u"C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\Run.lnk");
    EXPECT_TRUE(IsPinnedLinkLine(pinned));
    EXPECT_TRUE(IsPinnedLinkLine(u"c:\\x\\microsoft\\internet explorer\\quick launch\\user pinned\\taskbar\\a.lnk"));
    EXPECT_FALSE(IsPinnedLinkLine(u"C:\\Menu\\App\\Run.lnk"));
    EXPECT_FALSE(IsPinnedLinkLine(u"~C:\\x\\User Pinned\\StartMenu\\a.lnk"));
}

TEST(ShortcutPlacementTest, PinningNeedsWindowsSeven) {
    EXPECT_FALSE(SystemSupportsPinning(5, 1));
    EXPECT_FALSE(SystemSupportsPinning(6, 0));
    EXPECT_TRUE(SystemSupportsPinning(6, 1));
    EXPECT_TRUE(SystemSupportsPinning(10, 0));
}

TEST(ShortcutPlacementTest, BelowFolderNeedsAWholeComponent) {
    EXPECT_TRUE(IsBelowFolder(u"C:\\App\\links", u"C:\\App"));
    EXPECT_TRUE(IsBelowFolder(u"c:\\app\\Links\\", u"C:\\App\\"));
    EXPECT_TRUE(IsBelowFolder(u"C:\\App\\a\\b", u"C:\\App"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\App", u"C:\\App"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\App\\", u"C:\\App"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\Apple\\links", u"C:\\App"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\Other", u"C:\\App"));
    EXPECT_FALSE(IsBelowFolder(u"C:\\App\\x", u""));
}

TEST(ShortcutPlacementTest, DesktopIniDeclaresTheIcon) {
    EXPECT_EQ(DesktopIniText(kDesktopIconFileName),
              u"[.ShellClassInfo]\r\nIconFile=Desktop Icon.ico\r\nIconIndex=0\r\n");
}

}  // namespace
}  // namespace palisade
