// The registry path notation and the registry entries text: roots, field
// splitting and quoting, line shapes, value types, operations and the bytes
// that are written.
#include <gtest/gtest.h>

#include "actions/registry_entry_lines.h"
#include "actions/registry_path.h"
#include "core/text.h"

namespace palisade {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(RegistryPathNotation, ParsesShortAndLongRootsWithOrWithoutLeadingBackslash) {
    struct Case {
        std::u16string text;
        KeyRoot root;
        std::u16string subKey;
    };
    const Case cases[] = {
        {u"\\HKLM\\Software\\Acme", KeyRoot::LocalMachine, u"Software\\Acme"},
        {u"HKEY_LOCAL_MACHINE\\Software", KeyRoot::LocalMachine, u"Software"},
        {u"\\hkcu\\Software\\Acme\\\\", KeyRoot::CurrentUser, u"Software\\Acme"},
        {u"\\HKEY_CLASSES_ROOT\\.txt", KeyRoot::ClassesRoot, u".txt"},
        {u"\\HKU\\.DEFAULT\\Software", KeyRoot::Users, u".DEFAULT\\Software"},
        {u"\\HKCC\\System", KeyRoot::CurrentConfig, u"System"},
        {u"\\HKEY_DYN_DATA\\X", KeyRoot::DynData, u"X"},
        {u"\\HKAU\\Software\\Acme", KeyRoot::AllUsers, u"Software\\Acme"},
        {u"\\HKLM", KeyRoot::LocalMachine, u""},
        {u"\\HKLM\\", KeyRoot::LocalMachine, u""},
    };
    for (const Case& c : cases) {
        std::optional<RegistryPath> path = ParseRegistryPath(c.text);
        ASSERT_TRUE(path.has_value()) << Utf16ToUtf8(c.text);
        EXPECT_EQ(path->root, c.root) << Utf16ToUtf8(c.text);
        EXPECT_EQ(path->subKey, c.subKey) << Utf16ToUtf8(c.text);
    }
}

TEST(RegistryPathNotation, RefusesUnknownRootsAndEmptyComponents) {
    for (std::u16string text : {u"", u"\\", u"\\\\HKLM\\x", u"\\HKXX\\Software", u"Software\\Acme", u"\\HKLMX\\a",
                                u"\\HKEY_ALL_USERS\\a", u"\\HKLM\\a\\\\b", u"\\HKLM\\\\a"}) {
        EXPECT_FALSE(ParseRegistryPath(text).has_value()) << Utf16ToUtf8(text);
    }
}

TEST(RegistryPathNotation, WritesTheShortRootName) {
    EXPECT_EQ(RegistryPathNotation(*ParseRegistryPath(u"HKEY_CURRENT_USER\\Software\\A")), u"\\HKCU\\Software\\A");
    EXPECT_EQ(RegistryPathNotation({KeyRoot::AllUsers, u"Software"}), u"\\HKAU\\Software");
    EXPECT_EQ(RegistryPathNotation({KeyRoot::Users, u""}), u"\\HKU");
}

TEST(RegistryEntryLines, SplitsOnEveryKindOfLineBreak) {
    EXPECT_EQ(SplitEntryLines(u"a\r\nb\nc\rd"), (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(SplitEntryLines(u"a\r\n\r\nb\r\n"), (std::vector<std::u16string>{u"a", u"", u"b"}));
    EXPECT_TRUE(SplitEntryLines(u"").empty());
}

TEST(RegistryEntryLines, FieldsAreTrimmedUnlessQuoted) {
    auto fields = SplitEntryFields(u" \\HKCU\\A , \" spaced, with comma \",1, \"say \"\"hi\"\"\" ,3");
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(*fields, (std::vector<std::u16string>{u"\\HKCU\\A", u" spaced, with comma ", u"1", u"say \"hi\"", u"3"}));
    EXPECT_EQ(SplitEntryFields(u"a,,b")->size(), 3u);
    EXPECT_EQ(SplitEntryFields(u"a,")->size(), 2u);
    EXPECT_FALSE(SplitEntryFields(u"\"open").has_value());
    EXPECT_FALSE(SplitEntryFields(u"\"closed\"tail,b").has_value());
}

TEST(RegistryEntryLines, OneFieldIsAKeyAndBlankLinesAreSkipped) {
    RegistryEntryLine key = ParseEntryLine(u"  \\HKAU\\Software\\Acme  ");
    EXPECT_EQ(key.kind, RegistryLineKind::Key);
    EXPECT_EQ(key.key.root, KeyRoot::AllUsers);
    EXPECT_EQ(key.key.subKey, u"Software\\Acme");
    EXPECT_EQ(ParseEntryLine(u"").kind, RegistryLineKind::Empty);
    EXPECT_EQ(ParseEntryLine(u"   \t").kind, RegistryLineKind::Empty);
}

TEST(RegistryEntryLines, OtherShapesAreIllegal) {
    for (std::u16string text : {u"\\HKCU\\A,Name", u"\\HKCU\\A,Name,1", u"\\HKCU\\A,Name,1,data",
                                u"\\HKCU\\A,Name,1,data,1,extra", u"\\HKXX\\A", u"\\HKXX\\A,N,1,d,1", u",N,1,d,1",
                                u"\\HKCU\\A,N,one,d,1", u"\\HKCU\\A,N,1,d,first", u"\"\\HKCU\\A"}) {
        EXPECT_EQ(ParseEntryLine(text).kind, RegistryLineKind::Illegal) << Utf16ToUtf8(text);
    }
}

TEST(RegistryEntryLines, OperationsReplaceKeepOrDelete) {
    struct Case {
        std::uint32_t operation;
        bool writes, keeps, deletes;
    };
    const Case cases[] = {{1, true, false, false}, {3, true, false, false}, {6, true, true, false},
                          {7, true, true, false},  {4, false, false, true}, {5, false, false, true},
                          {0, false, false, false}, {2, false, false, false}, {8, false, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(OperationWrites(c.operation), c.writes) << c.operation;
        EXPECT_EQ(OperationKeepsExisting(c.operation), c.keeps) << c.operation;
        EXPECT_EQ(OperationDeletes(c.operation), c.deletes) << c.operation;
    }
}

TEST(RegistryEntryLines, DeletingAndInactiveOperationsIgnoreTypeAndData) {
    RegistryEntryLine deleting = ParseEntryLine(u"\\HKLM\\Software\\A,Old,,,4");
    EXPECT_EQ(deleting.kind, RegistryLineKind::Value);
    EXPECT_EQ(deleting.valueName, u"Old");
    EXPECT_EQ(deleting.operation, 4u);
    EXPECT_EQ(ParseEntryLine(u"\\HKLM\\Software\\A,X,99,zz,2").kind, RegistryLineKind::Value);
    // The same line with a writing operation must pass the type test.
    EXPECT_EQ(ParseEntryLine(u"\\HKLM\\Software\\A,X,99,zz,1").kind, RegistryLineKind::Illegal);
}

TEST(RegistryEntryLines, TextValuesKeepOrExpandTheirData) {
    RegistryEntryLine sz = ParseEntryLine(u"\\HKCU\\A,Folder,1,%InstallDir%\\bin,1");
    ASSERT_EQ(sz.kind, RegistryLineKind::Value);
    EXPECT_EQ(EntryValueBytes(sz, u"C:\\P"), (Bytes{'C', 0, ':', 0, '\\', 0, 'P', 0, 0, 0}));
    RegistryEntryLine expand = ParseEntryLine(u"\\HKCU\\A,Folder,2,%X%,1");
    ASSERT_EQ(expand.kind, RegistryLineKind::Value);
    EXPECT_EQ(EntryValueBytes(expand, u"ignored"), (Bytes{'%', 0, 'X', 0, '%', 0, 0, 0}));
    RegistryEntryLine empty = ParseEntryLine(u"\\HKCU\\A,,1,,1");
    EXPECT_EQ(empty.valueName, u"");
    EXPECT_EQ(EntryValueBytes(empty, u""), (Bytes{0, 0}));
    RegistryEntryLine wide = ParseEntryLine(u"\\HKCU\\A,N,2,\u20AC,1");
    EXPECT_EQ(EntryValueBytes(wide, u""), (Bytes{0xAC, 0x20, 0, 0}));
}

TEST(RegistryEntryLines, BinaryDataIsHexPairsWithBlanksRemoved) {
    RegistryEntryLine line = ParseEntryLine(u"\\HKCU\\A,Bin,3,0a Ff 00 1 2,1");
    ASSERT_EQ(line.kind, RegistryLineKind::Value);
    EXPECT_EQ(EntryValueBytes(line, u""), (Bytes{0x0A, 0xFF, 0x00, 0x12}));
    EXPECT_EQ(EntryValueBytes(ParseEntryLine(u"\\HKCU\\A,Bin,3,,1"), u""), Bytes{});
    for (std::u16string text : {u"\\HKCU\\A,B,3,abc,1", u"\\HKCU\\A,B,3,0g,1", u"\\HKCU\\A,B,3,0x10,1"}) {
        EXPECT_EQ(ParseEntryLine(text).kind, RegistryLineKind::Illegal) << Utf16ToUtf8(text);
    }
}

TEST(RegistryEntryLines, NumbersAreLittleEndianAndRangeChecked) {
    struct Case {
        std::u16string text;
        Bytes bytes;  // empty: illegal
    };
    const Case cases[] = {
        {u"\\HKCU\\A,N,4,305419896,1", {0x78, 0x56, 0x34, 0x12}},
        {u"\\HKCU\\A,N,4, 4294967295 ,1", {0xFF, 0xFF, 0xFF, 0xFF}},
        {u"\\HKCU\\A,N,4,-1,1", {0xFF, 0xFF, 0xFF, 0xFF}},
        {u"\\HKCU\\A,N,4,-2147483648,1", {0x00, 0x00, 0x00, 0x80}},
        {u"\\HKCU\\A,N,4,4294967296,1", {}},
        {u"\\HKCU\\A,N,4,-2147483649,1", {}},
        {u"\\HKCU\\A,N,4,12abc,1", {}},
        {u"\\HKCU\\A,N,4,,1", {}},
        {u"\\HKCU\\A,N,11,4294967296,6", {0, 0, 0, 0, 1, 0, 0, 0}},
        {u"\\HKCU\\A,N,11,18446744073709551615,1", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {u"\\HKCU\\A,N,11,18446744073709551616,1", {}},
        {u"\\HKCU\\A,N,11,-9223372036854775808,1", {0, 0, 0, 0, 0, 0, 0, 0x80}},
    };
    for (const Case& c : cases) {
        RegistryEntryLine line = ParseEntryLine(c.text);
        if (c.bytes.empty()) {
            EXPECT_EQ(line.kind, RegistryLineKind::Illegal) << Utf16ToUtf8(c.text);
        } else {
            ASSERT_EQ(line.kind, RegistryLineKind::Value) << Utf16ToUtf8(c.text);
            EXPECT_EQ(EntryValueBytes(line, u""), c.bytes) << Utf16ToUtf8(c.text);
        }
    }
}

TEST(RegistryEntryLines, UnlistedTypesAreIllegalForWritingLines) {
    for (std::u16string type : {u"0", u"5", u"7", u"12"}) {
        EXPECT_EQ(ParseEntryLine(u"\\HKCU\\A,N," + type + u",x,1").kind, RegistryLineKind::Illegal)
            << Utf16ToUtf8(type);
    }
}

}  // namespace
}  // namespace palisade
