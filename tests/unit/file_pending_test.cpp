// The edit of the pending restart operations and the temporary names.
#include <gtest/gtest.h>

#include "actions/pending_renames.h"

namespace palisade {
namespace {

PathSet Installed() {
    PathSet installed;
    installed.Insert(u"C:\\App\\a.dll");
    installed.Insert(u"C:\\App\\b.dll");
    return installed;
}

TEST(FilePendingList, RemovesMovesAndDeletionsOfInstalledFiles) {
    std::vector<std::u16string> list = {
        u"\\??\\C:\\App\\KRT1.tmp", u"!\\??\\c:\\app\\A.DLL",   // move over an installed file
        u"\\??\\C:\\Other\\x.tmp", u"!\\??\\C:\\Other\\x.dll",  // another file: kept
        u"\\??\\C:\\App\\b.dll", u"",                          // deletion of an installed file
        u"\\??\\C:\\Other\\y.dll", u"",                        // deletion of another file: kept
    };
    PendingListEdit edit = EditPendingList(list, Installed());
    EXPECT_TRUE(edit.changed);
    std::vector<std::u16string> kept = {u"\\??\\C:\\Other\\x.tmp", u"!\\??\\C:\\Other\\x.dll",
                                        u"\\??\\C:\\Other\\y.dll", u""};
    EXPECT_EQ(edit.strings, kept);
    std::vector<std::u16string> deleted = {u"C:\\App\\KRT1.tmp"};
    EXPECT_EQ(edit.filesToDelete, deleted);
    std::vector<std::u16string> lines = {
        u"File \"c:\\app\\A.DLL\" was removed from the list of pending moves.\r\n",
        u"File \"C:\\App\\b.dll\" was removed from the list of pending deletions.\r\n"};
    EXPECT_EQ(edit.logLines, lines);
}

TEST(FilePendingList, OddCountEndsWithADeletion) {
    PendingListEdit edit = EditPendingList({u"\\??\\C:\\Other\\x", u"", u"\\??\\C:\\App\\a.dll"}, Installed());
    EXPECT_TRUE(edit.changed);
    std::vector<std::u16string> kept = {u"\\??\\C:\\Other\\x", u""};
    EXPECT_EQ(edit.strings, kept);
    ASSERT_EQ(edit.logLines.size(), 1u);
    EXPECT_NE(edit.logLines[0].find(u"pending deletions"), std::u16string::npos);

    edit = EditPendingList({u"\\??\\C:\\Other\\x"}, Installed());
    EXPECT_FALSE(edit.changed);
    EXPECT_TRUE(edit.logLines.empty());
}

TEST(FilePendingList, NothingInstalledNothingChanged) {
    std::vector<std::u16string> list = {u"\\??\\C:\\a", u"\\??\\C:\\b"};
    PendingListEdit edit = EditPendingList(list, PathSet());
    EXPECT_FALSE(edit.changed);
    EXPECT_EQ(edit.strings, list);
}

TEST(FilePendingList, MultiStringKeepsEmptyTargets) {
    std::u16string data(u"\\??\\C:\\a\0\0\\??\\C:\\b\0!\\??\\C:\\c\0\0", 30);
    std::vector<std::u16string> strings = SplitMultiString(data);
    std::vector<std::u16string> expected = {u"\\??\\C:\\a", u"", u"\\??\\C:\\b", u"!\\??\\C:\\c"};
    EXPECT_EQ(strings, expected);
    EXPECT_EQ(JoinMultiString(strings), data);
    // A trailing deletion: its empty target precedes the closing NUL.
    std::u16string deletion(u"\\??\\C:\\a\0\0\0", 11);
    std::vector<std::u16string> pair = {u"\\??\\C:\\a", u""};
    EXPECT_EQ(SplitMultiString(deletion), pair);
    EXPECT_EQ(JoinMultiString(pair), deletion);
    // Data without its closing NUL still gives its strings.
    std::vector<std::u16string> two = {u"x", u"y"};
    EXPECT_EQ(SplitMultiString(std::u16string(u"x\0y", 3)), two);
    EXPECT_TRUE(SplitMultiString(u"").empty());
}

TEST(FilePendingList, PrefixStripping) {
    EXPECT_EQ(StripPendingPrefix(u"!\\??\\C:\\x"), u"C:\\x");
    EXPECT_EQ(StripPendingPrefix(u"\\\\?\\C:\\x"), u"C:\\x");
    EXPECT_EQ(StripPendingPrefix(u"C:\\x\\?"), u"C:\\x\\?");
}

TEST(FileTempNames, Formats) {
    EXPECT_EQ(NumberedTempName(0x1A), u"KRT001A.tmp");
    EXPECT_EQ(NumberedTempName(0xBEEF), u"KRTBEEF.tmp");
    EXPECT_EQ(TempNameWithExtension(0x1A, u".dll"), u"KRT  1A.dll");
    EXPECT_EQ(TempNameWithExtension(0xFFFF, u"bat"), u"KRTFFFF.bat");
}

}  // namespace
}  // namespace palisade
