// The applications-to-close rules: patterns, the deciding entry, the phase
// masks, the uninstaller's rows and the list kept for the uninstaller.
#include <gtest/gtest.h>

#include "system/auto_close.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/uninstall_data_reader.h"

namespace palisade {
namespace {

struct PatternCase {
    const char16_t* pattern;
    const char16_t* text;
    bool matches;
};

class AutoClosePattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(AutoClosePattern, MatchesAsTheRulesSay) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(PatternMatches(c.pattern, c.text), c.matches) << "pattern and text given in the table";
}

INSTANTIATE_TEST_SUITE_P(
    Table, AutoClosePattern,
    ::testing::Values(
        PatternCase{u"", u"anything", true},                         // empty: not tested
        PatternCase{u"", u"", true},
        PatternCase{u"Notes", u"Notes", true},                       // exact
        PatternCase{u"Notes", u"Notes - file.txt", false},           // exact does not match a longer text
        PatternCase{u"Notes", u"My Notes", false},
        PatternCase{u"Notes", u"notes", false},                      // case matters
        PatternCase{u"*Word", u"Report - Word", true},               // contains
        PatternCase{u"*Word", u"Word", true},
        PatternCase{u"*Word", u"Wordpad", true},
        PatternCase{u"*Word", u"a word here", false},                // contains, case matters
        PatternCase{u"*Word", u"", false},
        PatternCase{u"*", u"*", true},                               // a lone star is a plain text
        PatternCase{u"*", u"anything", false},
        PatternCase{u"**", u"a*b", true},                            // star then "*": contains a star
        PatternCase{u"**", u"ab", false},
        PatternCase{u"Wor*", u"Word", false},                        // only a leading star is special
        PatternCase{u"*\u00E9dit", u"\u00C9diteur \u00E9diteur", true},
        PatternCase{u"*\u00C9DIT", u"\u00E9diteur", false},          // no case folding beyond ASCII either
        PatternCase{u"*\U0001F600", u"smile \U0001F600!", true}));   // code units, surrogate pairs too

TEST(AutoCloseEntryMatch, BothPatternsMustMatchAndBothEmptyMatchesNothing) {
    struct Case {
        AutoCloseEntry entry;
        bool matches;
    };
    const Case cases[] = {
        {{u"", u"", u"nothing", 0, 1}, false},
        {{u"EditorClass", u"", u"by class", 0, 1}, true},
        {{u"", u"*Editor", u"by title", 0, 1}, true},
        {{u"EditorClass", u"*Editor", u"both", 0, 1}, true},
        {{u"EditorClass", u"*Viewer", u"title differs", 0, 1}, false},
        {{u"OtherClass", u"*Editor", u"class differs", 0, 1}, false},
        {{u"*Class", u"Main - Editor", u"class contains", 0, 1}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EntryMatchesWindow(c.entry, u"EditorClass", u"Main - Editor"), c.matches)
            << std::string(c.entry.applicationName.begin(), c.entry.applicationName.end());
    }
    EXPECT_FALSE(EntryMatchesWindow({u"", u"", u"", 0, 7}, u"", u""));
}

std::vector<AutoCloseEntry> SampleList() {
    return {
        {u"", u"*Report", u"install only", kCloseActionTerminate, kCloseBeforeInstalling},
        {u"ReportWnd", u"", u"start", kCloseActionClose, kCloseAtUninstallerStart},
        {u"", u"*Report", u"everywhere", kCloseActionAsk, 1 | 2 | 4},
        {u"", u"", u"matches nothing", kCloseActionQuit, 1 | 2 | 4},
    };
}

TEST(AutoCloseDecision, FirstEntryOfThePhaseDecides) {
    const std::vector<AutoCloseEntry> list = SampleList();
    struct Case {
        int phase;
        const char16_t* className;
        const char16_t* title;
        bool ownProcess;
        std::optional<std::size_t> deciding;
    };
    const Case cases[] = {
        {kCloseBeforeInstalling, u"ReportWnd", u"Q3 Report", false, 0},        // first in list order
        {kCloseAtUninstallerStart, u"ReportWnd", u"Q3 Report", false, 1},      // entry 0 is not for this phase
        {kCloseAfterUninstallConfirmation, u"ReportWnd", u"Q3 Report", false, 2},
        {kCloseAtUninstallerStart, u"Other", u"Q3 Report", false, 2},          // entry 1 does not match
        {kCloseAtUninstallerStart, u"Other", u"Q3 report", false, std::nullopt},  // case of the title
        {kCloseBeforeInstalling, u"ReportWnd", u"Q3 Report", true, std::nullopt},  // own process
        {kCloseBeforeInstalling, u"", u"", false, std::nullopt},               // the empty entry never decides
        {0, u"ReportWnd", u"Q3 Report", false, std::nullopt},                  // no phase bit at all
        {8, u"ReportWnd", u"Q3 Report", false, std::nullopt},
    };
    for (const Case& c : cases) {
        WindowDescription window{c.className, c.title, c.ownProcess};
        EXPECT_EQ(DecidingEntry(list, c.phase, window), c.deciding) << "phase " << c.phase;
    }
    EXPECT_EQ(DecidingEntry({}, kCloseBeforeInstalling, {u"a", u"b", false}), std::nullopt);
}

TEST(AutoCloseUninstallerRows, PhaseMaskFollowsTheActionAndBadRowsAreSkipped) {
    const std::vector<std::string> rows = {
        "EditorWnd,*Editor \xC3\xA9,Editor,0",  // close: at the start
        ",Viewer,Viewer,1",                      // quit: at the start
        "Wnd,,Asked,2",                          // ask: after the confirmation
        ",*Tool,Tool,3",                         // terminate: at the start
        "Wnd,Title,App",                         // three fields
        "Wnd,Ti,tle,App,0",                      // five fields
        "Wnd,Title,App,x",                       // no number
        "Wnd,Title,App,258",                     // beyond a byte: must not become "ask"
    };
    std::vector<AutoCloseEntry> entries = UninstallerAutoCloseEntries(rows);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].classPattern, u"EditorWnd");
    EXPECT_EQ(entries[0].titlePattern, u"*Editor \u00E9");
    EXPECT_EQ(entries[0].applicationName, u"Editor");
    const int expectedMasks[] = {2, 2, 4, 2, 2};
    const int expectedActions[] = {0, 1, 2, 3};
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].phaseMask, expectedMasks[i]) << i;
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(entries[i].action, expectedActions[i]) << i;
    EXPECT_NE(entries[4].action, kCloseActionAsk);
    EXPECT_GT(entries[4].action, kCloseActionTerminate) << "an unknown action stays unknown";
}

TEST(AutoCloseKeptList, EntriesForTheUninstallerStayInOrder) {
    std::vector<AutoCloseEntry> list;
    for (std::uint8_t mask = 0; mask < 8; ++mask) {
        list.push_back({u"Wnd", u"", u"mask " + std::u16string(1, char16_t(u'0' + mask)), 0, mask});
    }
    std::vector<AutoCloseEntry> kept = EntriesKeptForUninstaller(list);
    std::vector<int> keptMasks;
    for (const AutoCloseEntry& entry : kept) keptMasks.push_back(entry.phaseMask);
    EXPECT_EQ(keptMasks, (std::vector<int>{2, 3, 4, 5, 6, 7}));  // 0 and install-only 1 go
    EXPECT_TRUE(EntriesKeptForUninstaller({}).empty());
}

TEST(AutoCloseKeptList, OnlyKeptEntriesReachUninstallDataAndReadBackWithTheirPhase) {
    InstallerSettings settings;
    settings.autoCloseEntries = {
        {u"SetupHelper", u"", u"Helper", kCloseActionTerminate, kCloseBeforeInstalling},
        {u"EditorWnd", u"*Editor", u"Editor", kCloseActionClose, 1 | 2},
        {u"", u"*Viewer", u"Viewer", kCloseActionAsk, kCloseAfterUninstallConfirmation},
    };
    UninstallDataContents data = ParseUninstallData(ComposeUninstallData(InstallationRecord{}, settings));
    EXPECT_EQ(data.autoClose, (std::vector<std::string>{"EditorWnd,*Editor,Editor,0", ",*Viewer,Viewer,2"}));
    std::vector<AutoCloseEntry> back = UninstallerAutoCloseEntries(data.autoClose);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].phaseMask, kCloseAtUninstallerStart);
    EXPECT_EQ(back[1].phaseMask, kCloseAfterUninstallConfirmation);

    settings.autoCloseEntries.erase(settings.autoCloseEntries.begin() + 1, settings.autoCloseEntries.end());
    std::string onlyInstall = ComposeUninstallData(InstallationRecord{}, settings);
    EXPECT_EQ(onlyInstall.find("[AutoClose]"), std::string::npos) << "no section for install-only entries";
}

TEST(AutoCloseAnswers, OnlyRetryAsksAgainAndOnlyCancelAborts) {
    EXPECT_EQ(InterpretAskAnswer(4), AskAnswer::AskAgain);
    EXPECT_EQ(InterpretAskAnswer(2), AskAnswer::AbortRun);
    for (int other : {0, 1, 3, 5, 6, 7, -1}) EXPECT_EQ(InterpretAskAnswer(other), AskAnswer::StopAsking) << other;
}

TEST(AutoCloseStyles, SystemBoxGetsButtonsIconAndNoOwnBoxOptions) {
    EXPECT_EQ(SystemMessageBoxStyle(kAskToCloseBoxStyle), 0x35u);    // Retry/Cancel, warning icon
    EXPECT_EQ(SystemMessageBoxStyle(kCloseAbortedBoxStyle), 0x30u);  // OK, warning icon
    EXPECT_EQ(SystemMessageBoxStyle(0x00240035), 0x00240035u) << "system options pass";
}

}  // namespace
}  // namespace palisade
