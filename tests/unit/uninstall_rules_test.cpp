// The uninstaller's decisions: paths it may touch, folder order, empty
// folders, registry keys, the key chain, shared counts, fonts, the
// self-removal script and conditional deletions.
#include <gtest/gtest.h>

#include <map>

#include "core/text.h"
#include "uninstall/conditional_delete.h"
#include "uninstall/removal_rules.h"
#include "uninstall/self_removal_script.h"
#include "uninstall/shared_release.h"

namespace palisade {
namespace {

TEST(UninstallRules, OnlyFullPathsBelowARootAreRemovable) {
    struct Case {
        std::u16string path;
        bool removable;
    };
    const Case cases[] = {
        {u"C:\\Acme\\a.txt", true},   {u"c:\\x", true},           {u"\\\\server\\share\\x", true},
        {u"C:\\", false},             {u"C:", false},             {u"C:\\\\", false},
        {u"a.txt", false},            {u"\\Acme\\a.txt", false},  {u"\\\\server\\share", false},
        {u"C:\\Acme\\..\\Windows", false}, {u"", false},          {u"1:\\x", false},
        {u"C:relative", false},
        // Forms that name another file than they seem to.
        {u"C:\\.", false},                 {u"C:\\Acme\\.\\a", false},  {u"C:\\Acme\\\\a", false},
        {u"\\\\?\\C:\\Windows", false},   {u"\\\\.\\C:\\Windows", false},  {u"C:\\Windows.", false},
        {u"C:\\Windows \\x", false},      {u"C:\\Acme\\a.txt:stream", false}, {u"C:\\Acme\\*.txt", false},
        {u"C:/Windows", false},             {u"C:\\Acme/..\\x", false},   {std::u16string(u"C:\\a\0b", 6), false},
        {u"C:\\Acme\\.hidden", true},       {u"C:\\Acme\\a.b.c", true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRemovablePath(c.path), c.removable) << Utf16ToUtf8(c.path);
}

TEST(UninstallRules, ParentsAndInsideTests) {
    EXPECT_EQ(ParentFolder(u"C:\\a\\b\\c.txt"), u"C:\\a\\b");
    EXPECT_EQ(ParentFolder(u"C:\\a\\b\\"), u"C:\\a");
    EXPECT_EQ(ParentFolder(u"C:\\a"), u"");  // the drive root is nobody's to remove
    EXPECT_EQ(ParentFolder(u"\\\\srv\\share\\a"), u"");
    EXPECT_TRUE(IsInsideFolder(u"C:\\Acme\\Sub", u"c:\\acme\\"));
    EXPECT_FALSE(IsInsideFolder(u"C:\\Acme", u"C:\\Acme"));
    EXPECT_FALSE(IsInsideFolder(u"C:\\AcmeOther\\x", u"C:\\Acme"));
}

TEST(UninstallRules, ShellLeftoversDoNotKeepAFolder) {
    EXPECT_TRUE(CountsAsEmptyFolder({}));
    EXPECT_TRUE(CountsAsEmptyFolder({u"Thumbs.db", u"DESKTOP.INI"}));
    EXPECT_FALSE(CountsAsEmptyFolder({u"thumbs.db", u"notes.txt"}));
    EXPECT_FALSE(CountsAsEmptyFolder({u"desktop.ini.bak"}));
}

TEST(UninstallRules, FoldersDeepestFirstAndNeverOutsideWhatIsOurs) {
    FolderCandidates candidates;
    candidates.installFolder = u"C:\\Acme";
    candidates.recorded = {u"C:\\Acme\\data", u"C:\\Start Menu\\Acme", u"c:\\acme\\DATA\\"};
    candidates.ofDeletedFiles = {u"C:\\Acme\\bin\\deep\\er", u"C:\\Users\\Me\\Desktop", u"C:\\Acme"};
    std::vector<std::u16string> expected = {u"C:\\Acme\\bin\\deep\\er", u"C:\\Acme\\bin\\deep",
                                            u"C:\\Start Menu\\Acme", u"C:\\Acme\\data", u"C:\\Acme\\bin",
                                            u"C:\\Acme"};
    EXPECT_EQ(FolderRemovalOrder(candidates), expected);
}

TEST(UninstallRules, DeletableKeys) {
    struct Case {
        const char16_t* notation;
        bool deletable;
    };
    const Case cases[] = {
        {u"\\HKLM\\Software\\Acme", true},  {u"\\HKLM\\Software", false}, {u"\\HKCU\\Control Panel", false},
        {u"\\HKCR\\.acm", true},            {u"\\HKCR", false},           {u"\\HKU\\S-1-5-21\\Software", false},
        {u"\\HKU\\S-1-5-21\\Software\\Acme", true}, {u"\\HKAU\\Software\\Acme", true},
    };
    for (const Case& c : cases) {
        std::optional<RegistryPath> path = ParseRegistryPath(c.notation);
        ASSERT_TRUE(path) << Utf16ToUtf8(c.notation);
        EXPECT_EQ(IsDeletableKey(*path), c.deletable) << Utf16ToUtf8(c.notation);
    }
}

// Keys as a set of paths; a key is empty when no other key lies below it
// and it has no values.
class FakeKeys final : public KeyRemover {
public:
    std::map<std::u16string, bool> keys;  // path → has values
    std::vector<std::u16string> calls;
    bool DeleteTree(std::u16string_view subKey) override {
        calls.push_back(u"tree " + std::u16string(subKey));
        std::u16string prefix = std::u16string(subKey) + u"\\";
        bool found = keys.erase(std::u16string(subKey)) != 0;
        for (auto it = keys.begin(); it != keys.end();) it = it->first.rfind(prefix, 0) == 0 ? keys.erase(it) : ++it;
        return found;
    }
    bool DeleteIfEmpty(std::u16string_view subKey) override {
        calls.push_back(u"empty " + std::u16string(subKey));
        auto it = keys.find(std::u16string(subKey));
        if (it == keys.end() || it->second) return false;
        std::u16string prefix = std::u16string(subKey) + u"\\";
        for (const auto& [path, values] : keys) {
            if (path.rfind(prefix, 0) == 0) return false;
        }
        keys.erase(it);
        return true;
    }
};

TEST(UninstallRules, KeyChainStopsAtTheFirstKeyThatIsNotEmpty) {
    FakeKeys keys;
    keys.keys = {{u"Software", false}, {u"Software\\Acme", false}, {u"Software\\Acme\\Writer", false},
                 {u"Software\\Acme\\Writer\\Window", true}, {u"Software\\Acme\\Other", false}};
    EXPECT_EQ(RemoveKeyChain(keys, u"Acme\\Writer"), 1);
    EXPECT_EQ(keys.keys.count(u"Software\\Acme"), 1u);  // still holds Other
    EXPECT_EQ(keys.keys.count(u"Software\\Acme\\Writer\\Window"), 0u);

    keys.keys = {{u"Software", false}, {u"Software\\A", false}, {u"Software\\A\\B", false}, {u"Software\\A\\B\\C", false}};
    keys.calls.clear();
    EXPECT_EQ(RemoveKeyChain(keys, u"\\A\\B\\C\\"), 3);
    EXPECT_EQ(keys.calls, (std::vector<std::u16string>{u"tree Software\\A\\B\\C", u"empty Software\\A\\B", u"empty Software\\A"}));
    EXPECT_EQ(keys.keys.count(u"Software"), 1u);  // never "Software" itself
}

TEST(UninstallRules, KeyChainIsBoundedAndRefusesOddPaths) {
    FakeKeys keys;
    std::u16string path;
    std::u16string full = u"Software";
    keys.keys[full] = false;
    for (int i = 0; i < 30; ++i) {
        path += (i ? u"\\k" : u"k") + ToU16(i);
        full += u"\\k" + ToU16(i);
        keys.keys[full] = false;
    }
    EXPECT_EQ(RemoveKeyChain(keys, path), kMaxKeyChainLevels);
    keys.calls.clear();
    EXPECT_EQ(RemoveKeyChain(keys, u""), 0);
    EXPECT_EQ(RemoveKeyChain(keys, u"\\"), 0);
    EXPECT_EQ(RemoveKeyChain(keys, u"Acme\\..\\Microsoft"), 0);
    EXPECT_EQ(RemoveKeyChain(keys, u"Acme\\\\Writer"), 0);
    EXPECT_TRUE(keys.calls.empty());
}

TEST(UninstallRules, KeyChainNeverTakesASharedKey) {
    FakeKeys keys;
    keys.keys = {{u"Software", false}, {u"Software\\Microsoft", false}, {u"Software\\Microsoft\\Acme", false}};
    EXPECT_EQ(RemoveKeyChain(keys, u"Microsoft"), 0);
    EXPECT_EQ(RemoveKeyChain(keys, u"Wow6432Node\\Microsoft"), 0);
    EXPECT_TRUE(keys.calls.empty());
    // Deep enough below a shared branch a key may go; its emptied parents
    // stay while they are still shared.
    keys.keys[u"Software\\Microsoft\\Acme\\Tool"] = false;
    keys.keys[u"Software\\Microsoft\\Acme\\Tool\\Settings"] = false;
    EXPECT_EQ(RemoveKeyChain(keys, u"Microsoft\\Acme\\Tool\\Settings"), 1);
    EXPECT_EQ(keys.keys.count(u"Software\\Microsoft\\Acme\\Tool"), 1u);
}

TEST(UninstallRules, NumbersFromTheProductKey) {
    ProductFlagWords flags = ParseProductFlags(u"8589934596");  // 2 << 32 | 4
    EXPECT_EQ(flags.flags1, 4u);
    EXPECT_EQ(flags.flags2, 2u);
    EXPECT_EQ(ParseProductFlags(u"  18446744073709551615").flags2, 0xFFFFFFFFu);
    EXPECT_EQ(ParseProductFlags(u"18446744073709551616").flags1, 0u);  // beyond 64 bits
    EXPECT_EQ(ParseProductFlags(u"junk").flags1, 0u);
    EXPECT_EQ(ParseUnsignedDecimal(u"4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseUnsignedDecimal(u"4294967296"), 0u);
    EXPECT_EQ(ParseUnsignedDecimal(u"12ab"), 12u);
}

TEST(UninstallRules, ProgressRunsFrom11To92) {
    EXPECT_EQ(FileProgressPercent(0, 10), 11);
    EXPECT_EQ(FileProgressPercent(5, 10), 51);
    EXPECT_EQ(FileProgressPercent(10, 10), 92);
    EXPECT_EQ(FileProgressPercent(20, 10), 92);
    EXPECT_EQ(FileProgressPercent(0, 0), 92);
}

TEST(UninstallRules, FontsAndTheirRemovalMode) {
    std::vector<FontRecord> fonts = ParseProductFonts(u"\"Acme Mono\" \"acme.ttf\" \"Bold\" \"b.ttf\" \"Lost\" ");
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].face, u"Acme Mono");
    EXPECT_EQ(fonts[1].file, u"b.ttf");
    EXPECT_EQ(DecideFontRemoval(0, false), FontDecision::Keep);
    EXPECT_EQ(DecideFontRemoval(1, true), FontDecision::Remove);
    EXPECT_EQ(DecideFontRemoval(2, false), FontDecision::Ask);
    EXPECT_EQ(DecideFontRemoval(2, true), FontDecision::Keep);
}

TEST(UninstallRules, TextHelpers) {
    EXPECT_EQ(ToWindows1252(u"caf\u00E9 \u20AC \u2122 \u4E2D"), "caf\xE9 \x80 \x99 ?");
    EXPECT_TRUE(IsSupportAddress(u"https://acme.example/help"));
    EXPECT_TRUE(IsSupportAddress(u"MAILTO:help@acme.example"));
    EXPECT_FALSE(IsSupportAddress(u"https://"));
    EXPECT_FALSE(IsSupportAddress(u"https://acme example"));
    EXPECT_FALSE(IsSupportAddress(u"file:///C:/x"));
}

class FakeCounts final : public SharedCountStore {
public:
    std::map<std::u16string, std::uint32_t> counts;
    std::optional<std::uint32_t> Read(std::u16string_view path) override {
        auto it = counts.find(std::u16string(path));
        return it == counts.end() ? std::nullopt : std::optional<std::uint32_t>(it->second);
    }
    std::uint32_t Write(std::u16string_view path, std::uint32_t count) override {
        counts[std::u16string(path)] = count;
        return 0;
    }
    bool Delete(std::u16string_view path) override { return counts.erase(std::u16string(path)) != 0; }
};

TEST(SharedRelease, RecordEntriesWithTheirMarks) {
    std::vector<SharedEntry> entries =
        ParseSharedFilesRecord(u"\"C:\\s\\a.dll\";\"^C:\\s\\b.ocx\";\" C:\\w\\c.dll\";\"\u00A9C:\\s\\d.tlb\";\"\";junk;\"C:\\open");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].mark, SharedMark::None);
    EXPECT_EQ(entries[1].mark, SharedMark::ComServer);
    EXPECT_EQ(entries[1].path, u"C:\\s\\b.ocx");
    EXPECT_EQ(entries[2].mark, SharedMark::Permanent);
    EXPECT_EQ(entries[2].path, u"C:\\w\\c.dll");
    EXPECT_EQ(entries[3].mark, SharedMark::TypeLibrary);
    EXPECT_EQ(entries[3].path, u"C:\\s\\d.tlb");
}

TEST(SharedRelease, CountsFallAndOnlyTheLastUserRemoves) {
    FakeCounts counts;
    counts.counts = {{u"C:\\s\\a.dll", 2}, {u"C:\\s\\b.ocx", 1}, {u"C:\\w\\c.dll", 1}, {u"C:\\s\\d.tlb", 1},
                     {u"C:\\s\\z.dll", 0}};
    std::vector<SharedEntry> entries = ParseSharedFilesRecord(
        u"\"C:\\s\\a.dll\";\"c:\\S\\A.dll\";\"^C:\\s\\b.ocx\";\" C:\\w\\c.dll\";\"\u00A9C:\\s\\d.tlb\";\"C:\\s\\z.dll\";"
        u"\"C:\\s\\missing.dll\"");
    std::vector<SharedRelease> releases = ReleaseSharedCounts(entries, counts);
    ASSERT_EQ(releases.size(), 6u);  // the same file twice is lowered once
    EXPECT_EQ(counts.counts[u"C:\\s\\a.dll"], 1u);
    EXPECT_FALSE(releases[0].reachedZero);
    EXPECT_TRUE(releases[1].reachedZero && releases[1].unregister && releases[1].removeFile);  // COM server
    EXPECT_TRUE(releases[2].reachedZero && !releases[2].unregister && !releases[2].removeFile);  // permanent
    EXPECT_TRUE(releases[3].reachedZero && releases[3].unregister && releases[3].removeFile);  // type library
    EXPECT_FALSE(releases[4].reachedZero);  // a count of 0 says nothing about this product
    EXPECT_FALSE(releases[5].reachedZero);  // no count at all
    EXPECT_EQ(counts.counts.count(u"C:\\s\\b.ocx"), 0u);  // values at zero are deleted
    EXPECT_EQ(counts.counts.count(u"C:\\s\\missing.dll"), 0u);  // and none is made up
}

TEST(SelfRemovalScript, TwoLevelSubFolderGivesItsParentThenTheInstallationFolder) {
    SelfRemovalPaths paths{u"C:\\Acme\\data\\uninst\\uninstall.exe", u"C:\\Acme", u"data\\uninst\\",
                           u"C:\\Temp\\Palisade-1f\\delunins.bat"};
    EXPECT_EQ(SelfRemovalScriptText(paths),
              u"set /a tries=0\r\n:Repeat\r\ndel \"C:\\Acme\\data\\uninst\\uninstall.exe\"\r\n"
              u"if not exist \"C:\\Acme\\data\\uninst\\uninstall.exe\" goto Removed\r\n"
              u"set /a tries+=1\r\nif %tries% GEQ 30 goto Removed\r\nCHOICE /T 1 /D Y >nul\r\ngoto Repeat\r\n"
              u":Removed\r\nCHOICE /T 3 /D Y\r\n"
              u"rd \"C:\\Acme\\data\\uninst\"\r\nrd \"C:\\Acme\\data\"\r\nrd \"C:\\Acme\"\r\n"
              u"del \"C:\\Temp\\Palisade-1f\\delunins.bat\"\r\nrd \"C:\\Temp\\Palisade-1f\"\r\n");
}

// Parents the installation made above its folder: found among the recorded
// folders (never a folder the installation folder is not in, nor a root),
// deepest first, and removed by the script after the installation folder.
TEST(SelfRemovalScript, ParentsTheInstallationMadeFollowTheInstallationFolder) {
    std::vector<std::u16string> recorded = {u"C:\\Apps",  u"C:\\Apps\\Vendor\\", u"C:\\Apps\\Vendor\\Product\\docs",
                                            u"D:\\Other", u"C:\\",               u"C:\\apps\\vendor",
                                            u"C:\\Apps\\..\\Windows"};
    std::vector<std::u16string> parents = RecordedParentsOf(recorded, u"C:\\Apps\\Vendor\\Product");
    EXPECT_EQ(parents, (std::vector<std::u16string>{u"C:\\Apps\\Vendor", u"C:\\Apps"}));

    SelfRemovalPaths paths{u"C:\\Apps\\Vendor\\Product\\u.exe", u"C:\\Apps\\Vendor\\Product", u"", u"C:\\T\\d.bat"};
    paths.parentFolders = parents;
    std::u16string text = SelfRemovalScriptText(paths);
    EXPECT_NE(text.find(u"rd \"C:\\Apps\\Vendor\\Product\"\r\nrd \"C:\\Apps\\Vendor\"\r\nrd \"C:\\Apps\"\r\ndel "),
              std::u16string::npos)
        << Utf16ToUtf8(text);
}

TEST(SelfRemovalScript, AnUninstallerOutsideTheProductStays) {
    SelfRemovalPaths paths{u"D:\\Downloads\\uninstall.exe", u"C:\\Acme", u"", u"C:\\T\\P\\delunins.bat"};
    paths.removeUninstaller = false;
    std::u16string text = SelfRemovalScriptText(paths);
    EXPECT_EQ(text.find(u"Downloads"), std::u16string::npos);
    EXPECT_EQ(text.rfind(u"CHOICE /T 3 /D Y\r\nrd \"C:\\Acme\"\r\n", 0), 0u);
}

TEST(SelfRemovalScript, NoSubFolderAndTheCodePageLine) {
    SelfRemovalPaths paths{u"C:\\Acme\\u.exe", u"C:\\Acme", u"", u"C:\\T\\delunins.bat"};
    std::u16string text = SelfRemovalScriptText(paths);
    EXPECT_EQ(text.find(u"rd "), text.find(u"rd \"C:\\Acme\"\r\n"));  // only the installation folder
    EXPECT_EQ(SelfRemovalScriptBytes(paths, true).rfind("@chcp 1252 >nul\r\nset /a tries=0\r\n", 0), 0u);  // ASCII stays 1252

    SelfRemovalPaths wide{u"C:\\\u4E2D\\u.exe", u"C:\\\u4E2D", u"", u"C:\\T\\delunins.bat"};
    EXPECT_EQ(SelfRemovalScriptBytes(wide, true).rfind("@chcp 65001 >nul\r\n", 0), 0u);
    EXPECT_NE(SelfRemovalScriptBytes(wide, true).find("C:\\\xE4\xB8\xAD\\u.exe"), std::string::npos);
}

TEST(SelfRemovalScript, DeepSubFoldersStopAfterFiftyLevels) {
    std::u16string sub;
    for (int i = 0; i < 60; ++i) sub += u"d\\";
    std::u16string text = SelfRemovalScriptText({u"C:\\A\\u.exe", u"C:\\A", sub, u"C:\\T\\x.bat"});
    std::size_t rdLines = 0;
    for (std::size_t at = text.find(u"rd \"C:\\A"); at != std::u16string::npos; at = text.find(u"rd \"C:\\A", at + 1)) {
        ++rdLines;
    }
    EXPECT_EQ(rdLines, std::size_t(kMaxSelfRemovalLevels) + 1);  // the levels and the installation folder
}

TEST(ConditionalDelete, LinesRoundTripAndDamagedLinesAreRefused) {
    FileDeletion deletion{"logs\\*.log,old", 2, "2024-01-31", 0x9};
    std::string line = ConditionalDeleteLine(deletion);
    EXPECT_EQ(line, "logs\\*.log,old,2,2024-01-31,9\r\n");
    std::optional<FileDeletion> back = ParseConditionalDeleteLine(line.substr(0, line.size() - 2));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, deletion);
    for (const char* bad : {"", "a,b", "a,1,x", ",1,,8", "a,x,,8", "a,1,,300", "a,1,,-1", "a,1\"x,y\",8"}) {
        EXPECT_FALSE(ParseConditionalDeleteLine(bad)) << bad;
    }
}

// A reference with a comma or a quote (a damaged date, kept rather than obeyed)
// must not shift the fields: unquoted, its comma ended the pattern early.
TEST(ConditionalDelete, ReferencesWithCommasAndQuotesKeepTheirFields) {
    for (const char* reference : {"2024,01,31", "say \"x\"", "\"", ",", "a\"\",b"}) {
        FileDeletion deletion{"logs\\*.log,old\"", 1, reference, 0x8};
        std::string line = ConditionalDeleteLine(deletion);
        std::optional<FileDeletion> back = ParseConditionalDeleteLine(line.substr(0, line.size() - 2));
        ASSERT_TRUE(back) << line;
        EXPECT_EQ(*back, deletion) << line;
    }
    EXPECT_EQ(ConditionalDeleteLine({"x", 1, "2024,01", 8}), "x,1,\"2024,01\",8\r\n");
}

TEST(ConditionalDelete, DatesAreCheckedStrictly) {
    std::optional<DeletionDate> date = ParseDeletionDate(" 2024/02/29 7:05:09 ");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->day, 29);
    EXPECT_EQ(date->hour, 7);
    EXPECT_EQ(date->second, 9);
    EXPECT_TRUE(date->hasTime);
    EXPECT_FALSE(ParseDeletionDate("2023-02-29").has_value());
    EXPECT_FALSE(ParseDeletionDate("2024-13-01").has_value());
    EXPECT_FALSE(ParseDeletionDate("2024-01/01").has_value());
    EXPECT_FALSE(ParseDeletionDate("2024-01-01 24:00").has_value());
    EXPECT_FALSE(ParseDeletionDate("20240101").has_value());
    EXPECT_FALSE(ParseDeletionDate("").has_value());
}

TEST(ConditionalDelete, ConditionsDecide) {
    FileFacts file;
    file.lastWrite = {2024, 5, 17, 10, 30, 42, true};
    file.size = 1234;
    struct Case {
        std::uint8_t condition;
        const char* reference;
        DeletionVerdict verdict;
    };
    const Case cases[] = {
        {1, "2024-05-17", DeletionVerdict::Delete},          {1, "2024-05-17 10:30:41", DeletionVerdict::Keep},
        {1, "2024-05-17 10:30:42", DeletionVerdict::Delete}, {2, "2024-05-17", DeletionVerdict::Delete},
        {2, "2024-05-18", DeletionVerdict::Keep},            {3, "2024-05-16", DeletionVerdict::Keep},
        {3, "2024-05-17 10:30:42", DeletionVerdict::Delete}, {3, "nonsense", DeletionVerdict::BadDate},
        {4, "1234", DeletionVerdict::Delete},                {4, "1235", DeletionVerdict::Keep},
        {4, "big", DeletionVerdict::Keep},                   {0, "", DeletionVerdict::Delete},
        {9, "whatever", DeletionVerdict::Delete},
    };
    for (const Case& c : cases) {
        FileDeletion deletion{"x", c.condition, c.reference, kDeleteAtUninstall};
        EXPECT_EQ(DecideDeletion(deletion, file), c.verdict) << int(c.condition) << " " << c.reference;
    }
    EXPECT_TRUE(AppliesAt({"x", 0, "", kDeleteAtUninstall}, false));
    EXPECT_FALSE(AppliesAt({"x", 0, "", kDeleteAtUninstall}, true));
}

}  // namespace
}  // namespace palisade
