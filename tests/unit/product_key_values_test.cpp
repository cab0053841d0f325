// The product key's values: their order, every delete and "only when" rule,
// and the author's values.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/text.h"
#include "payload/settings_flags.h"
#include "uninstall/product_key_values.h"

namespace palisade {
namespace {

struct Inputs {
    InstallerSettings settings;
    InstallationState state;
    InstallationRecord record;
    ProductKeyFacts facts;
    std::uint32_t payloadFlags = 0x2022;

    Inputs() {
        settings.uninstallEntryName = u"Acme Writer";
        settings.displayName = u"Acme Writer";
        settings.publisher = u"Acme Ltd";
        settings.displayVersion = u"12.34.5";
        settings.settingsFlags1 = 0x80000004u;
        settings.settingsFlags2 = 0x00000003u;
        settings.bitness = 2;
        state.installFolder = u"C:\\Program Files\\Acme";
        state.uninstallDataFolder = u"C:\\Program Files\\Acme\\uninstall";
        facts.uninstallerPath = u"C:\\Program Files\\Acme\\uninstall\\unins.exe";
        facts.installSource = u"D:\\Downloads";
        facts.installedBytes = 5 * 1024 * 1024;
        facts.session = 0x123456789ALL;
        facts.date = {2024, 3, 7};
    }

    ProductKeyPlan Plan() const {
        return PlanProductKeyValues(settings, payloadFlags, state, record, facts,
                                    [](std::u16string_view text) { return u"<" + std::u16string(text) + u">"; });
    }
};

std::vector<std::u16string> Names(const ProductKeyPlan& plan) {
    std::vector<std::u16string> names;
    for (const ProductKeyValue& value : plan.values) names.push_back(value.name);
    return names;
}

// The last operation on `name` (a value may be deleted and then written).
const ProductKeyValue* Find(const ProductKeyPlan& plan, std::u16string_view name) {
    const ProductKeyValue* found = nullptr;
    for (const ProductKeyValue& value : plan.values) {
        if (value.name == name) found = &value;
    }
    return found;
}

bool IsDeleted(const ProductKeyPlan& plan, std::u16string_view name) {
    const ProductKeyValue* value = Find(plan, name);
    return value && value->kind == ProductValueKind::Delete;
}

TEST(ProductKeyValues, TableOrder) {
    Inputs in;
    in.settings.productIcon = {1, 2, 3};
    in.facts.productIconSaved = true;
    in.settings.backgroundPicture = {'B', 'M'};
    in.settings.settingsFlags1 |= Flags1::kKeepBackgroundPicture;
    in.settings.bitmapTpi = 4;
    in.settings.bottomColor = 0x00112233;
    in.settings.uninstallValues = {{"Comments", 1, u"c"}};
    std::vector<std::u16string> expected = {
        u"UninstallString", u"QuietUninstallString", u"DisplayName", u"InstallSource", u"Publisher", u"Bitness",
        u"DisplayVersion", u"NoDowngradeBelow", u"DisplayIcon", u"VersionMajor", u"VersionMinor", u"ProductRegistry",
        u"ProductStartMenu", u"SharedPath", u"ProductFonts", u"ProductFlags", u"ProductFlags2", u"UninstallBatch1",
        u"UninstallBatch2", u"SharedFiles", u"UninstallSubdir", u"AddToPathSubfolder", u"ShortcutMode", u"NotifyURL",
        u"SupportOffer", u"DesktopFolder", u"UninstallFonts", u"Session", u"EstimatedSize", u"TaskbarText",
        u"DialogFont", u"DisplayTitle", u"TitleColor", u"TitleSize", u"TopColor", u"BottomColor", u"BottomColor",
        u"MonoColor", u"TitleShadow", u"TitlePosition", u"TitleFont", u"CopyrightText", u"CopyrightFont",
        u"CopyrightSize", u"CopyrightColor", u"CopyrightPos", u"BitmapSize", u"BitmapTPI", u"StretchMode",
        u"Comments", u"InstallLocation", u"InstallDate"};
    EXPECT_EQ(Names(in.Plan()), expected);
}

TEST(ProductKeyValues, CommandsFlagsAndDates) {
    Inputs in;
    ProductKeyPlan plan = in.Plan();
    EXPECT_EQ(Find(plan, u"UninstallString")->text,
              u"\"C:\\Program Files\\Acme\\uninstall\\unins.exe\" /u:\"Acme Writer\"");
    EXPECT_EQ(Find(plan, u"QuietUninstallString")->text,
              u"\"C:\\Program Files\\Acme\\uninstall\\unins.exe\" /silent /u:\"Acme Writer\"");
    EXPECT_EQ(Find(plan, u"ProductFlags")->text, u"15032385540");  // 0x00000003_80000004
    EXPECT_EQ(Find(plan, u"ProductFlags2")->text, u"8226");
    EXPECT_EQ(Find(plan, u"Session")->kind, ProductValueKind::Qword);
    EXPECT_EQ(Find(plan, u"Session")->number, 0x123456789Aull);
    EXPECT_EQ(Find(plan, u"InstallDate")->text, u"20240307");
    EXPECT_EQ(Find(plan, u"InstallLocation")->text, u"C:\\Program Files\\Acme");
    EXPECT_EQ(Find(plan, u"VersionMajor")->number, 12u);
    EXPECT_EQ(Find(plan, u"VersionMinor")->number, 34u);
    EXPECT_EQ(Find(plan, u"EstimatedSize")->number, 5120u);
    EXPECT_EQ(Find(plan, u"Bitness")->number, 2u);
    EXPECT_EQ(ProductKeyPath(in.settings), u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme Writer");
}

TEST(ProductKeyValues, EmptyTextsAreDeleted) {
    Inputs in;
    in.settings.publisher.clear();
    ProductKeyPlan plan = in.Plan();
    for (auto name : {u"Publisher", u"NoDowngradeBelow", u"ProductRegistry", u"ProductStartMenu", u"SharedPath",
                      u"ProductFonts", u"UninstallBatch1", u"UninstallBatch2", u"SharedFiles", u"UninstallSubdir",
                      u"AddToPathSubfolder", u"NotifyURL", u"SupportOffer", u"DesktopFolder"}) {
        EXPECT_TRUE(IsDeleted(plan, name)) << Utf16ToUtf8(name);
    }
    // Written even when empty.
    for (auto name : {u"TaskbarText", u"DialogFont", u"DisplayTitle", u"CopyrightText"}) {
        EXPECT_EQ(Find(plan, name)->kind, ProductValueKind::Text);
    }
    in.settings.notifyUrl = "|https://acme.example/\xC3\xA9";  // narrow settings text in UTF-8
    in.record.sharedFilesRecord = u"\"C:\\a.dll\"";
    plan = in.Plan();
    EXPECT_EQ(Find(plan, u"NotifyURL")->text, u"https://acme.example/\u00E9");
    EXPECT_EQ(Find(plan, u"SharedFiles")->text, u"\"C:\\a.dll\"");
}

TEST(ProductKeyValues, VersionWithoutDotWritesNoMajorOrMinor) {
    Inputs in;
    in.settings.displayVersion = u"2024";
    ProductKeyPlan plan = in.Plan();
    EXPECT_EQ(Find(plan, u"VersionMajor"), nullptr);
    EXPECT_EQ(Find(plan, u"VersionMinor"), nullptr);
    in.settings.displayVersion = u"3.x";
    plan = in.Plan();
    EXPECT_EQ(Find(plan, u"VersionMajor")->number, 3u);
    EXPECT_EQ(Find(plan, u"VersionMinor")->number, 0u);
}

TEST(ProductKeyValues, EstimatedSizeDeletedBelowOneKibAndBeyondThirtyTwoBits) {
    struct Case {
        std::uint64_t bytes;
        bool deleted;
    };
    for (Case c : {Case{1023, true}, Case{0, true}, Case{1024, false}, Case{0xFFFFFFFFull * 1024, false},
                   Case{0x100000000ull * 1024, true}}) {
        Inputs in;
        in.facts.installedBytes = c.bytes;
        EXPECT_EQ(IsDeleted(in.Plan(), u"EstimatedSize"), c.deleted) << c.bytes;
    }
}

TEST(ProductKeyValues, IconOnlyWhenSaved) {
    Inputs in;
    in.settings.productIcon = {1};
    EXPECT_EQ(Find(in.Plan(), u"DisplayIcon"), nullptr);
    in.facts.productIconSaved = true;
    EXPECT_EQ(Find(in.Plan(), u"DisplayIcon")->text, u"C:\\Program Files\\Acme\\uninstall\\product.ico");
}

TEST(ProductKeyValues, BackgroundValuesFollowTheirFlags) {
    Inputs in;
    in.settings.settingsFlags1 |= Flags1::kNoBackgroundWindow;
    ProductKeyPlan plan = in.Plan();
    EXPECT_EQ(Find(plan, u"DisplayTitle"), nullptr);
    EXPECT_EQ(Find(plan, u"BottomColor"), nullptr);
    EXPECT_NE(Find(plan, u"TaskbarText"), nullptr);

    in = Inputs();
    in.settings.titleSize = 1.25;
    in.settings.copyrightSize = 1.0 / 3.0;
    in.settings.topColor = in.settings.bottomColor = 0x00FF0000;  // one flat colour
    plan = in.Plan();
    EXPECT_EQ(Find(plan, u"TitleSize")->text, u"1.25");
    EXPECT_EQ(Find(plan, u"CopyrightSize")->text, u"0.333333");
    EXPECT_EQ(Find(plan, u"MonoColor")->number, 1u);
    EXPECT_TRUE(IsDeleted(plan, u"BottomColor"));

    in.settings.bottomColor = 0x000000FF;
    plan = in.Plan();
    EXPECT_EQ(Find(plan, u"BottomColor")->number, 0xFFu);
    EXPECT_EQ(Find(plan, u"MonoColor")->number, 0u);

    // The picture's values need both the flag and a picture.
    EXPECT_TRUE(IsDeleted(plan, u"BitmapSize") && IsDeleted(plan, u"BitmapTPI") && IsDeleted(plan, u"StretchMode"));
    in.settings.settingsFlags1 |= Flags1::kKeepBackgroundPicture;
    EXPECT_TRUE(IsDeleted(in.Plan(), u"BitmapSize"));
    in.settings.backgroundPicture = {'B', 'M'};
    in.settings.bitmapSize = 40;
    plan = in.Plan();
    EXPECT_EQ(Find(plan, u"BitmapSize")->number, 40u);
    EXPECT_TRUE(IsDeleted(plan, u"BitmapTPI"));  // -1: no transparent colour
    EXPECT_EQ(Find(plan, u"StretchMode")->number, 2u);
}

TEST(ProductKeyValues, AuthorValues) {
    Inputs in;
    in.settings.uninstallValues = {{"HelpLink", 1, u"%InstallDir%\\help"},
                                   {"Path", 2, u"%ProgramFiles%"},
                                   {"NoModify", 4, u" 1"},
                                   {"HKEY_CURRENT_USER\\Software\\Acme\\Settings\\Mode", 4, u"-1"},
                                   {"Software\\Acme\\X", 1, u"y"}};
    ProductKeyPlan plan = in.Plan();
    ASSERT_FALSE(plan.badAuthorType);
    EXPECT_EQ(Find(plan, u"HelpLink")->text, u"<%InstallDir%\\help>");
    EXPECT_EQ(Find(plan, u"Path")->kind, ProductValueKind::ExpandText);
    EXPECT_EQ(Find(plan, u"NoModify")->number, 0u);  // "< 1>" has no leading number
    const ProductKeyValue* mode = Find(plan, u"Mode");
    ASSERT_TRUE(mode && mode->otherKey);
    EXPECT_EQ(mode->otherKey->root, KeyRoot::CurrentUser);
    EXPECT_EQ(mode->otherKey->subKey, u"Software\\Acme\\Settings");
    EXPECT_TRUE(Find(plan, u"X")->unknownRoot);
    EXPECT_EQ(Find(plan, u"X")->authorName, u"Software\\Acme\\X");

    auto resolved = ResolveAuthorValue({"\\HKLM\\Software\\A,B\\V", 4, u""}, u"42");
    ASSERT_TRUE(resolved && resolved->otherKey);
    EXPECT_EQ(resolved->number, 42u);
    EXPECT_EQ(resolved->otherKey->subKey, u"Software\\A,B");
    // "HKAU" names every user's hive, not one key a value can be written to.
    EXPECT_TRUE(ResolveAuthorValue({"\\HKAU\\Software\\A\\V", 1, u""}, u"x")->unknownRoot);
    EXPECT_EQ(ResolveAuthorValue({"N", 4, u""}, u"-1")->number, 0xFFFFFFFFu);
}

TEST(ProductKeyValues, AnAuthorValueOfAnotherTypeIsFatal) {
    Inputs in;
    in.settings.uninstallValues = {{"Fine", 1, u"a"}, {"Binary", 3, u"00ff"}, {"Never", 1, u"b"}};
    ProductKeyPlan plan = in.Plan();
    ASSERT_TRUE(plan.badAuthorType);
    EXPECT_EQ(*plan.badAuthorType, 3);
    EXPECT_TRUE(plan.values.empty());  // nothing is written before the run ends
}

TEST(ProductKeyValues, Numbers) {
    EXPECT_EQ(LeadingNumber(u"  17abc"), 17u);
    EXPECT_EQ(LeadingNumber(u"x"), 0u);
    EXPECT_EQ(DecimalText(2.0), u"2");
    EXPECT_EQ(DecimalText(0.1234567), u"0.123457");
    EXPECT_EQ(InstallDateText({999, 12, 31}), u"09991231");
}

}  // namespace
}  // namespace palisade

namespace palisade {
namespace {

TEST(ProductKeyValues, UninstallerPathHasAFileNameEvenWhenTheSettingsGiveNone) {
    InstallerSettings settings;
    InstallationState state;
    state.uninstallDataFolder = u"C:\\App\\uninstall";
    EXPECT_EQ(UninstallerPath(settings, state), u"C:\\App\\uninstall\\uninstall.exe");
    settings.uninstallerFileName = u"remove.exe";
    EXPECT_EQ(UninstallerPath(settings, state), u"C:\\App\\uninstall\\remove.exe");
}

}  // namespace
}  // namespace palisade
