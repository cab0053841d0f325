// Where file entries go: kind folders, overrides, the portable shared-file rule.
#include <gtest/gtest.h>

#include "actions/file_destination.h"
#include "core/text.h"

namespace palisade {
namespace {

DestinationRules Rules(bool portable = false) {
    DestinationRules rules;
    rules.folders.installFolder = u"C:\\App";
    rules.folders.uninstallDataFolder = u"C:\\App\\Uninstall";
    rules.folders.sharedFolder = portable ? u"C:\\App\\Common" : u"C:\\Common Files\\Maker";
    rules.folders.fontsFolder = u"C:\\Windows\\Fonts";
    rules.folders.systemFolder = u"C:\\Windows\\system32";
    rules.portable = portable;
    rules.portableSharedSubfolder = u"Common";
    rules.expand = [](std::u16string_view text) {
        std::u16string out = ReplaceAll(text, u"%InstallDir%", u"C:\\App");
        return ReplaceAll(out, u"%Data%", u"D:\\Data\\");
    };
    return rules;
}

FileEntry Entry(int kind, std::u16string override = {}, std::uint32_t flags = 0) {
    FileEntry entry;
    entry.name = "file.dll";
    entry.kind = EntryKind(kind);
    entry.flags = flags;
    entry.destinationOverride = std::move(override);
    return entry;
}

struct KindCase {
    int kind;
    const char16_t* path;
    bool createFolder;
};

TEST(FileDestinationKinds, EachKindHasItsFolder) {
    const KindCase cases[] = {
        {0, u"C:\\App\\file.dll", true},
        {1, u"C:\\Common Files\\Maker\\file.dll", false},
        {4, u"C:\\Windows\\Fonts\\file.dll", false},
        {5, u"C:\\App\\file.dll", true},
        {6, u"C:\\Windows\\system32\\file.dll", false},
        {7, u"C:\\Windows\\system32\\file.dll", false},
        {8, u"C:\\Windows\\system32\\file.dll", false},
        {9, u"C:\\App\\file.dll", true},
        {10, u"C:\\App\\file.dll", true},
        {11, u"C:\\App\\file.dll", true},
        {12, u"C:\\App\\file.dll", true},
    };
    for (const KindCase& c : cases) {
        Destination d = PlaceEntry(Entry(c.kind), Rules());
        EXPECT_FALSE(d.badKind) << c.kind;
        EXPECT_EQ(d.path, c.path) << c.kind;
        EXPECT_EQ(d.createFolder, c.createFolder) << c.kind;
        EXPECT_EQ(d.fontListed, c.kind == 4) << c.kind;
    }
}

TEST(FileDestinationKinds, UnknownKindsAreRejected) {
    for (int kind : {2, 3, 13, 99, -1}) {
        EXPECT_TRUE(PlaceEntry(Entry(kind), Rules()).badKind) << kind;
        // Neither an override nor the uninstall-folder bit hides a bad kind.
        EXPECT_TRUE(PlaceEntry(Entry(kind, u"x.dll", EntryFlags::kToUninstallFolder), Rules()).badKind) << kind;
    }
}

TEST(FileDestinationKinds, UninstallFolderBitAndPermanentFonts) {
    Destination d = PlaceEntry(Entry(7, {}, EntryFlags::kToUninstallFolder), Rules());
    EXPECT_EQ(d.path, u"C:\\App\\Uninstall\\file.dll");
    EXPECT_FALSE(d.createFolder);
    EXPECT_FALSE(PlaceEntry(Entry(4, {}, EntryFlags::kPermanent), Rules()).fontListed);
    // A font placed by an override is not in the Fonts folder's list.
    EXPECT_FALSE(PlaceEntry(Entry(4, u"fonts\\"), Rules()).fontListed);
}

struct OverrideCase {
    int kind;
    const char16_t* override;
    const char16_t* path;
    const char16_t* name;
};

TEST(FileDestinationOverrides, PlacesAsDocumented) {
    const OverrideCase cases[] = {
        {0, u"renamed.dll", u"C:\\App\\renamed.dll", u"renamed.dll"},        // bare name renames in place
        {0, u"sub\\", u"C:\\App\\sub\\file.dll", u"file.dll"},               // folder keeps the name
        {0, u"sub\\\\", u"C:\\App\\sub\\file.dll", u"file.dll"},             // two backslashes act as one
        {0, u"%Data%\\", u"D:\\Data\\file.dll", u"file.dll"},                // "\\\\" only after expansion
        {0, u"sub\\other.dll", u"C:\\App\\sub\\other.dll", u"file.dll"},
        {0, u"E:\\Abs\\x.dll", u"E:\\Abs\\x.dll", u"file.dll"},
        {0, u"\\\\server\\share\\", u"\\\\server\\share\\file.dll", u"file.dll"},
        {0, u"%InstallDir%\\bin\\", u"C:\\App\\bin\\file.dll", u"file.dll"},
        {1, u"sub\\", u"C:\\Common Files\\Maker\\sub\\file.dll", u"file.dll"},  // shared folder base
        {1, u"new.dll", u"C:\\Common Files\\Maker\\new.dll", u"new.dll"},
        {6, u"sub\\", u"C:\\App\\sub\\file.dll", u"file.dll"},               // other kinds: install folder
        {4, u"F:\\", u"F:\\file.dll", u"file.dll"},
    };
    for (const OverrideCase& c : cases) {
        Destination d = PlaceEntry(Entry(c.kind, c.override), Rules());
        EXPECT_EQ(d.path, c.path) << Utf16ToUtf8(c.override);
        EXPECT_EQ(d.name, c.name) << Utf16ToUtf8(c.override);
        EXPECT_TRUE(d.createFolder) << Utf16ToUtf8(c.override);
    }
}

TEST(FileDestinationOverrides, UninstallBitIgnoredWhenOverridden) {
    Destination d = PlaceEntry(Entry(0, u"sub\\", EntryFlags::kToUninstallFolder), Rules());
    EXPECT_EQ(d.path, u"C:\\App\\sub\\file.dll");
}

TEST(FileDestinationPortable, SharedFilesStayBelowTheSharedSubfolder) {
    const OverrideCase cases[] = {
        {1, u"", u"C:\\App\\Common\\file.dll", u"file.dll"},
        {1, u"lib\\", u"C:\\App\\Common\\lib\\file.dll", u"file.dll"},       // relative: below the sub-folder
        {1, u"new.dll", u"C:\\App\\Common\\new.dll", u"new.dll"},            // renamed, then placed by kind
        {1, u"E:\\Abs\\", u"C:\\App\\Common\\file.dll", u"file.dll"},        // absolute: dropped
        {1, u"%InstallDir%\\x\\", u"C:\\App\\Common\\file.dll", u"file.dll"},  // variable: dropped
        {0, u"lib\\", u"C:\\App\\lib\\file.dll", u"file.dll"},               // only kind 1 is affected
    };
    for (const OverrideCase& c : cases) {
        Destination d = PlaceEntry(Entry(c.kind, c.override), Rules(true));
        EXPECT_EQ(d.path, c.path) << Utf16ToUtf8(c.override);
        EXPECT_EQ(d.name, c.name) << Utf16ToUtf8(c.override);
    }
    // Without a sub-folder name the overrides apply as usual.
    DestinationRules rules = Rules(true);
    rules.portableSharedSubfolder.clear();
    EXPECT_EQ(PlaceEntry(Entry(1, u"E:\\Abs\\"), rules).path, u"E:\\Abs\\file.dll");
}

TEST(FileDestinationNames, NarrowNamesDecode) {
    FileEntry entry = Entry(0);
    entry.name = "|caf\xC3\xA9.txt";
    EXPECT_EQ(PlaceEntry(entry, Rules()).path, u"C:\\App\\caf\u00E9.txt");
    entry.name = "caf\xE9.txt";  // older 8-bit names read as Windows-1252
    EXPECT_EQ(PlaceEntry(entry, Rules()).path, u"C:\\App\\caf\u00E9.txt");
}

TEST(FileDestinationPaths, Helpers) {
    EXPECT_EQ(JoinPath(u"C:\\", u"x"), u"C:\\x");
    EXPECT_EQ(JoinPath(u"C:\\a\\\\", u"\\x"), u"C:\\a\\x");
    EXPECT_EQ(FolderOf(u"C:\\a\\b.txt"), u"C:\\a");
    EXPECT_EQ(FileNameOf(u"C:\\a\\b.txt"), u"b.txt");
    EXPECT_EQ(FileNameOf(u"b.txt"), u"b.txt");
    EXPECT_TRUE(SameFolder(u"C:\\App\\", u"c:\\app"));
    EXPECT_FALSE(SameFolder(u"C:\\App\\x", u"C:\\App"));
    EXPECT_TRUE(IsAbsolutePath(u"c:x"));
    EXPECT_FALSE(IsAbsolutePath(u"sub\\x"));
    EXPECT_EQ(FontListPiece(u"Face Bold", u"f.ttf"), u"\"Face Bold\" \"f.ttf\" ");
}

}  // namespace
}  // namespace palisade
