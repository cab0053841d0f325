// Small values of the builder and inspector: sizes, keys, flag names, item names and the report renderers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "builder/build_values.h"
#include "common/entry_names.h"
#include "common/flag_names.h"
#include "common/setting_keys.h"
#include "common/report_tree.h"

namespace palisade::tools {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(BuilderValues, ByteSizesTakeBinaryUnits) {
    const std::pair<const char*, std::optional<std::size_t>> cases[] = {
        {"4096", 4096},          {"512k", 512u << 10}, {"512 KiB", 512u << 10}, {"4M", 4u << 20},
        {"4 MiB", 4u << 20},     {"1mb", 1u << 20},    {"", std::nullopt},      {"M", std::nullopt},
        {"4 GiB", std::nullopt}, {"-1", std::nullopt}, {"1.5M", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseByteSize(text), expected) << text;
}

TEST(BuilderValues, CipherKeysAreSixteenHexDigits) {
    std::optional<CipherKey> key = ParseCipherKey("0x0123456789ABCDEF");
    ASSERT_TRUE(key);
    EXPECT_EQ(CipherKeyText(*key), "0123456789abcdef");
    for (const char* bad : {"0123456789abcde", "0123456789abcdef0", "0123456789abcdeg", ""}) {
        EXPECT_FALSE(ParseCipherKey(bad)) << bad;
    }
    std::optional<CipherKey> first = RandomCipherKey(), second = RandomCipherKey();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
}

TEST(BuilderValues, FlagTablesHaveOneNameAndOneBitEach) {
    for (FlagWord word : {FlagWord::PayloadFlags, FlagWord::SettingsFlags1, FlagWord::SettingsFlags2,
                          FlagWord::InstallerOptions, FlagWord::ShortcutPlacement, FlagWord::DeletionFlags}) {
        std::set<std::string> names;
        std::set<std::uint32_t> bits;
        for (const FlagName& flag : FlagNames(word)) {
            EXPECT_TRUE(names.insert(flag.name).second) << flag.name;
            EXPECT_TRUE(bits.insert(flag.bit).second) << flag.name;
            EXPECT_EQ(flag.bit & (flag.bit - 1), 0u) << flag.name << " is not one bit";
            EXPECT_EQ(FindFlag(word, flag.name), flag.bit);
        }
    }
}

TEST(BuilderValues, FlagWordsAreDescribedLowBitFirst) {
    EXPECT_THAT(DescribeFlags(FlagWord::PayloadFlags, 0x1020 | 0x4000), ElementsAre("StrippedInstaller", "Ciphered", "0x4000"));
    EXPECT_THAT(DescribeFlags(FlagWord::SettingsFlags1, 0), ElementsAre());
}

TEST(BuilderValues, ItemFieldsAreNamed) {
    EXPECT_EQ(KindName(EntryKind::NewerOnlyFile), "newer-only");
    EXPECT_EQ(KindName(EntryKind(3)), "3");
    EXPECT_EQ(OverwriteName(12 | 0x20), "missing-only");
    EXPECT_EQ(OverwriteName(20), "never");   // behaves as 4
    EXPECT_EQ(OverwriteName(28), "default");  // behaves as 0
    EXPECT_EQ(ShortcutName(0x3), "both");
    EXPECT_THAT(AttributeList(0x21), ElementsAre("read-only", "archive"));
    EXPECT_THAT(AttributeList(-1), ElementsAre());
}

TEST(BuilderValues, NarrowTextsFollowTheirRule) {
    EXPECT_EQ(Utf8ToWindows1252("caf\u00e9 \u20ac"), std::string("caf\xe9 \x80"));
    EXPECT_FALSE(Utf8ToWindows1252("\u65e5"));
    EXPECT_EQ(NarrowPathText("plain.txt"), "plain.txt");
    EXPECT_EQ(NarrowPathText("\u00e9t\u00e9.txt"), "|\u00e9t\u00e9.txt");
}

TEST(BuilderReport, JsonEscapesAndNests) {
    ReportValue report = ReportValue::Object();
    report.Set("text", "a \"quoted\" \\ path\n\x01");
    report.Set("number", std::int64_t(-3));
    report.Set("list", ReportValue::TextList({"x", "y"}));
    report.Set("empty", ReportValue::Array());
    EXPECT_EQ(RenderJson(report),
              "{\n  \"text\": \"a \\\"quoted\\\" \\\\ path\\n\\u0001\",\n  \"number\": -3,\n"
              "  \"list\": [\n    \"x\",\n    \"y\"\n  ],\n  \"empty\": []\n}\n");
    EXPECT_THAT(RenderText(report), HasSubstr("list: x, y\n"));
    EXPECT_THAT(RenderText(report), HasSubstr("empty: (none)\n"));
}

}  // namespace
}  // namespace palisade::tools
