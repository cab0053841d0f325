// The text side of file associations: verbs, identifier names, icon paths
// and the uninstall record line.
#include <gtest/gtest.h>

#include "actions/association_plan.h"

namespace palisade {
namespace {

TEST(AssociationPlan, VerbsAreTrimmedAndEmptyListsMeanOpen) {
    EXPECT_EQ(AssociationVerbs(u"open, edit ,print"), (std::vector<std::u16string>{u"open", u"edit", u"print"}));
    EXPECT_EQ(AssociationVerbs(u",edit,,"), (std::vector<std::u16string>{u"edit"}));
    EXPECT_EQ(AssociationVerbs(u""), (std::vector<std::u16string>{u"open"}));
    EXPECT_EQ(AssociationVerbs(u" , "), (std::vector<std::u16string>{u"open"}));
}

TEST(AssociationPlan, EachVerbTakesItsLineOfAPerVerbText) {
    EXPECT_EQ(TextForVerb(u"viewer.exe \"%1\"", 0), u"viewer.exe \"%1\"");
    EXPECT_EQ(TextForVerb(u"viewer.exe \"%1\"", 3), u"viewer.exe \"%1\"");  // one line serves every verb
    EXPECT_EQ(TextForVerb(u"view %1\r\nedit %1\nprint %1", 0), u"view %1");
    EXPECT_EQ(TextForVerb(u"view %1\r\nedit %1\nprint %1", 1), u"edit %1");
    EXPECT_EQ(TextForVerb(u"view %1\r\nedit %1\nprint %1", 2), u"print %1");
    EXPECT_EQ(TextForVerb(u"view %1\r\nedit %1", 5), u"edit %1");  // past the last line: the last
    EXPECT_EQ(TextForVerb(u"", 1), u"");
}

TEST(AssociationPlan, BangOrEmptyIdentifierLeavesTheExtensionDefaultAlone) {
    EXPECT_TRUE(SetsExtensionDefault(u"Acme.Doc"));
    EXPECT_FALSE(SetsExtensionDefault(u"!Acme.Doc"));
    EXPECT_FALSE(SetsExtensionDefault(u""));
    EXPECT_EQ(ProgIdKeyName(u"!Acme.Doc"), u"Acme.Doc");
    EXPECT_EQ(ProgIdKeyName(u"Acme.Doc"), u"Acme.Doc");
    EXPECT_EQ(ProgIdKeyName(u"!"), u"");
}

TEST(AssociationPlan, RelativeIconsAreTakenFromTheInstallationFolder) {
    EXPECT_EQ(AssociationIconPath(u"app.exe,1", u"C:\\App"), u"C:\\App\\app.exe,1");
    EXPECT_EQ(AssociationIconPath(u"icons\\doc.ico", u"C:\\App\\"), u"C:\\App\\icons\\doc.ico");
    EXPECT_EQ(AssociationIconPath(u"D:\\doc.ico", u"C:\\App"), u"D:\\doc.ico");
    EXPECT_EQ(AssociationIconPath(u"", u"C:\\App"), u"");
}

TEST(AssociationPlan, RecordLineHasFourFieldsInUtf8) {
    EXPECT_EQ(AssociationRecordLine(u".acm", u"Acme.Doc", u"open", u"C:\\App\\app.exe,0"),
              ".acm~!~Acme.Doc~!~open~!~C:\\App\\app.exe,0\r\n");
    EXPECT_EQ(AssociationRecordLine(u".\u00E9", u"", u"edit", u""), ".\xC3\xA9~!~~!~edit~!~\r\n");
    EXPECT_EQ(BackupValueName(u"Acme Writer"), u"Acme Writer Backup");
}

}  // namespace
}  // namespace palisade
