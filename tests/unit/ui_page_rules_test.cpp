// The pages' small rules: captions and banner lines by variant, the greeting's
// text and link, the licence's read-to-the-end rule, the language page's
// choice, the entry fields and the progress page.
#include <gtest/gtest.h>

#include "ui/entry_rules.h"
#include "ui/language_choice.h"
#include "ui/licence_gate.h"
#include "ui/page_captions.h"
#include "ui/progress_page_rules.h"
#include "ui/wizard_setup.h"

namespace palisade {
namespace {

class PageCaptions : public testing::Test {
protected:
    PageCaptions() : catalogue({u"English"}, 120), texts(catalogue, u"Demo", u"Demo tool", u"Windows 11") {
        catalogue.SetText(1, 0, u"Welcome to <product>.");
        catalogue.SetText(24, 0, u"Folder");
        catalogue.SetText(54, 0, u"Installing <product>");
        catalogue.SetText(55, 0, u"Removing <product>");
        catalogue.SetText(65, 0, u"<product> Setup");
        catalogue.SetText(94, 0, u"Language");
        catalogue.SetText(103, 0, u"Welcome");
    }
    MessageCatalogue catalogue;
    PageTexts texts;
};

TEST_F(PageCaptions, BannerPagesTakeTheBannerCaptionAndTwoLines) {
    struct Case {
        PageKind page;
        PageVariant variant;
        std::u16string caption;
        std::optional<std::u16string> line1, line2;
    } cases[] = {
        {PageKind::Folder, PageVariant::Plain, u"Folder", std::nullopt, std::nullopt},
        {PageKind::Folder, PageVariant::SidePicture, u"Folder", std::nullopt, std::nullopt},
        {PageKind::Folder, PageVariant::FullSidePicture, u"Folder", std::nullopt, std::nullopt},
        {PageKind::Folder, PageVariant::Banner, u"Demo Setup", u"Demo", u"Folder"},
        // The greeting's second banner line is its own message, not its caption.
        {PageKind::Greeting, PageVariant::Banner, u"Demo Setup", u"Demo", u"Welcome"},
        {PageKind::Greeting, PageVariant::SidePicture, u"Demo Setup", std::nullopt, std::nullopt},
        {PageKind::ProgressInstall, PageVariant::Plain, u"Installing Demo", std::nullopt, std::nullopt},
        {PageKind::ProgressInstall, PageVariant::Banner, u"Demo Setup", u"Demo", u"Installing Demo"},
        // The uninstaller's progress page keeps its own caption on a banner.
        {PageKind::ProgressUninstall, PageVariant::Banner, u"Removing Demo", u"Demo", u"Removing Demo"},
    };
    for (const Case& c : cases) {
        PageDecoration decoration = DecoratePage(c.page, c.variant, texts);
        EXPECT_EQ(decoration.caption, c.caption) << int(c.page) << " " << int(c.variant);
        EXPECT_EQ(decoration.bannerLine1, c.line1) << int(c.page) << " " << int(c.variant);
        EXPECT_EQ(decoration.bannerLine2, c.line2) << int(c.page) << " " << int(c.variant);
    }
}

TEST_F(PageCaptions, TheLanguagePagesBannerLineChangesAfterTheFirstSelection) {
    EXPECT_EQ(DecoratePage(PageKind::Language, PageVariant::Banner, texts).bannerLine1, u"Demo");
    EXPECT_EQ(LanguageBannerLine1(texts), u"Demo") << "an empty message 114 leaves the product name";
    catalogue.SetText(114, 0, u"Choose for <product>");
    EXPECT_EQ(LanguageBannerLine1(texts), u"Choose for Demo");
    EXPECT_EQ(DecoratePage(PageKind::Language, PageVariant::Banner, texts, LanguageBannerLine1(texts)).bannerLine1,
              u"Choose for Demo");
}

TEST_F(PageCaptions, FolderNextDependsOnTheStartMenuPage) {
    EXPECT_EQ(MessagesOf(PageKind::Folder, true).next, 48);
    EXPECT_EQ(MessagesOf(PageKind::Folder, false).next, 90);
}

TEST_F(PageCaptions, TheGreetingStartsLowerOnBannerPages) {
    EXPECT_EQ(GreetingText(PageVariant::Banner, texts), u"\r\n\r\nWelcome to Demo.");
    EXPECT_EQ(GreetingText(PageVariant::SidePicture, texts), u"Welcome to Demo.");
    EXPECT_EQ(GreetingText(PageVariant::FullSidePicture, texts), u"Welcome to Demo.");
}

TEST(GreetingLink, TheAnchorCarriesTheAddress) {
    EXPECT_EQ(GreetingLinkMarkup(u"Visit <a>our site</a>", u"https://example.org/a?b=c"),
              u"Visit <a href=\"https://example.org/a?b=c\">our site</a>");
    EXPECT_EQ(GreetingLinkMarkup(u"<a>one</a> and <a>two</a>", u"x"), u"<a href=\"x\">one</a> and <a href=\"x\">two</a>");
    EXPECT_EQ(GreetingLinkMarkup(u"<a>go</a>", u"http://h/\" id=\"x"), u"<a href=\"http://h/%22 id=%22x\">go</a>");
    EXPECT_FALSE(GreetingLinkMarkup(u"", u"http://h/"));
    EXPECT_FALSE(GreetingLinkMarkup(u"<a>go</a>", u""));
}

TEST(LicenceReadGate, NextWaitsForTheEndOfTheDocument) {
    LicenceReadGate gate(true);
    EXPECT_TRUE(gate.Required());
    EXPECT_FALSE(gate.NextEnabled());
    EXPECT_FALSE(gate.OnTick(ScrollState{0, 0, false, 10, 100}));
    EXPECT_FALSE(gate.OnTick(ScrollState{89, 89, false, 10, 100})) << "one line short";
    EXPECT_FALSE(gate.NextEnabled());
    EXPECT_TRUE(gate.OnTick(ScrollState{90, 90, false, 10, 100}));
    EXPECT_TRUE(gate.NextEnabled());
    // Once enabled, scrolling back does not disable it, and no tick reports it again.
    EXPECT_FALSE(gate.OnTick(ScrollState{0, 0, false, 10, 100}));
    EXPECT_TRUE(gate.NextEnabled());
}

TEST(LicenceReadGate, TheThumbCountsWhileItIsDragged) {
    LicenceReadGate gate(true);
    EXPECT_FALSE(gate.OnTick(ScrollState{90, 40, true, 10, 100})) << "dragged back up";
    EXPECT_TRUE(gate.OnTick(ScrollState{0, 95, true, 10, 100}));
}

TEST(LicenceReadGate, AShortDocumentOrNoRuleEnablesNextAtOnce) {
    LicenceReadGate shortDocument(true);
    EXPECT_TRUE(shortDocument.OnTick(ScrollState{0, 0, false, 0, 0}));
    LicenceReadGate noScrollBar(true);
    EXPECT_TRUE(noScrollBar.OnTick(std::nullopt));
    LicenceReadGate noRule(false);
    EXPECT_FALSE(noRule.Required());
    EXPECT_TRUE(noRule.NextEnabled());
}

TEST(LanguageChoice, PreselectsTheSystemLanguageCutAtTheParenthesis) {
    const std::vector<std::u16string> languages = {u"Deutsch", u"English", u"Français", u"German"};
    struct Case {
        std::u16string_view system;
        std::size_t index;
    } cases[] = {
        {u"English (United States)", 1},
        {u"German (Germany)", 3},
        {u"german", 3},
        {u"  Français  (France)", 2},
        {u"Klingon (Qo'noS)", 1},  // unknown: English
        {u"", 1},
        {u"(none)", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PreselectLanguage(languages, c.system), c.index) << std::string(c.system.begin(), c.system.end());
    }
    EXPECT_EQ(PreselectLanguage({u"Deutsch", u"Français"}, u"Klingon"), 0u) << "no English: the first";
    EXPECT_EQ(PreselectLanguage({}, u"English"), 0u);
}

TEST(LanguageChoice, TheSelectionIsHeldToTheList) {
    EXPECT_EQ(ClampLanguage(-1, 3), 0u);
    EXPECT_EQ(ClampLanguage(2, 3), 2u);
    EXPECT_EQ(ClampLanguage(3, 3), 2u);
    EXPECT_EQ(ClampLanguage(1, 0), 0u);
}

TEST(LanguageChoice, OwnerDrawnItemMeasures) {
    LanguageItemMetrics metrics = LanguageItemMeasures(13, 7);
    EXPECT_EQ(metrics.itemHeight, 20);  // 19.5 rounds up
    EXPECT_EQ(metrics.textIndent, 3);
    EXPECT_EQ(metrics.focusPenWidth, 1);
    EXPECT_EQ(LanguageItemMeasures(32, 14).itemHeight, 48);
    EXPECT_EQ(LanguageItemMeasures(32, 14).focusPenWidth, 3);
    EXPECT_EQ(FocusFrameColour(MakeColour(255, 255, 255), MakeColour(0, 120, 215)), MakeColour(204, 228, 247));
    EXPECT_EQ(FocusFrameColour(0, 0), 0u);
}

TEST(EntryRules, StartMenuNames) {
    struct Case {
        std::u16string_view name;
        bool valid;
    } cases[] = {
        {u"Tools\\Sub", true}, {u"Tools", true},     {u"", true},           {u"A b-c (x)", true},
        {u"Tools\\", true},    {u"\\Tools", false},  {u"Tools\\\\Sub", false}, {u"A:B", false},
        {u"A/B", false},       {u"A\"B", false},     {u"A<B", false},       {u"A>B", false},
        {u"A|B", false},       {u"A*B", false},      {u"A?B", false},       {u"A;B", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidStartMenuName(c.name), c.valid) << std::string(c.name.begin(), c.name.end());
    }
}

TEST(EntryRules, APickedFolderGivesItsNameBelowThePrograms) {
    const std::u16string_view programs = u"C:\\Users\\Ann\\Start Menu\\Programs";
    EXPECT_EQ(StartMenuNameOf(u"C:\\Users\\Ann\\Start Menu\\Programs\\Tools\\Sub", programs), u"Tools\\Sub");
    EXPECT_EQ(StartMenuNameOf(u"c:\\users\\ann\\start menu\\programs\\Tools\\", programs), u"Tools");
    EXPECT_EQ(StartMenuNameOf(u"C:\\Users\\Ann\\Start Menu\\Programs", programs), u"");
    EXPECT_EQ(StartMenuNameOf(u"C:\\Users\\Ann\\Start Menu\\Programs2\\Tools", programs), std::nullopt);
    EXPECT_EQ(StartMenuNameOf(u"C:\\Users\\Ann\\Desktop", programs), std::nullopt);
    EXPECT_EQ(StartMenuNameOf(u"C:\\Tools", u""), std::nullopt);
}

TEST(EntryRules, PasswordsCompareExactly) {
    EXPECT_TRUE(PasswordMatches(u"Secret1", u"Secret1"));
    EXPECT_FALSE(PasswordMatches(u"secret1", u"Secret1"));
    EXPECT_FALSE(PasswordMatches(u"Secret", u"Secret1"));
    EXPECT_FALSE(PasswordMatches(u"Secret1 ", u"Secret1"));
    EXPECT_TRUE(PasswordMatches(u"", u""));
}

TEST(ProgressPageRules, VariantsSettingsAndFont) {
    EXPECT_TRUE(ProgressCentresButtons(PageVariant::Plain));
    EXPECT_TRUE(ProgressCentresButtons(PageVariant::Banner));
    EXPECT_FALSE(ProgressCentresButtons(PageVariant::SidePicture));
    EXPECT_FALSE(ProgressEnlargesText(PageVariant::FullSidePicture));
    EXPECT_TRUE(ProgressEnlargesText(VariantFromSetting(7)));

    EXPECT_EQ(EnlargedFontHeight(-13), -14);
    EXPECT_EQ(EnlargedFontHeight(-15), -17);  // 16.5 rounds away from zero
    EXPECT_EQ(EnlargedFontHeight(20), 22);
    EXPECT_EQ(EnlargedFontHeight(0), 0);

    EXPECT_TRUE(ProgressCancelEnabled(false, 0));
    EXPECT_FALSE(ProgressCancelEnabled(true, 0));
    EXPECT_FALSE(ProgressCancelEnabled(false, Flags1::kNoCancel));
    EXPECT_TRUE(ProgressPageShown(Flags2::kProgressPage, false));
    EXPECT_FALSE(ProgressPageShown(Flags2::kProgressPage, true));
    EXPECT_FALSE(ProgressPageShown(0, false));
}

TEST(WizardSetup, TheInstallerSettingsGiveVariantsOptionsAndTheCatalogue) {
    InstallerSettings settings;
    settings.displayName = u"Hello";
    settings.productDescription = u"Hello, the example";
    settings.greetingPageVariant = 0;
    settings.languagePageVariant = 3;
    settings.licencePageVariant = 7;  // any unknown value is the banner layout
    settings.readmePageVariant = -1;
    settings.progressPageVariant = 1;
    settings.installerOptions = kOptionButtonPictures;
    settings.progressPosition = 0x1B;
    settings.greetingLinkAddress = u"https://example.org";
    settings.linkNotifyAddress = "http://example.org/clicked";
    WizardSetup setup = InstallerWizardSetup(settings, u"Windows 10", false, true);
    EXPECT_EQ(setup.variants.greeting, PageVariant::Plain);
    EXPECT_EQ(setup.variants.language, PageVariant::FullSidePicture);
    EXPECT_EQ(setup.variants.licence, PageVariant::Banner);
    EXPECT_EQ(setup.variants.readme, PageVariant::Banner);
    EXPECT_EQ(setup.variants.progress, PageVariant::SidePicture);
    EXPECT_EQ(setup.installerOptions, kOptionButtonPictures);
    EXPECT_EQ(setup.progressPosition, 0x1Bu);
    EXPECT_EQ(setup.greetingLinkAddress, u"https://example.org");
    EXPECT_EQ(setup.linkNotifyAddress, "http://example.org/clicked");
    EXPECT_EQ(setup.product, u"Hello");
    EXPECT_EQ(setup.description, u"Hello, the example");
    EXPECT_EQ(setup.os, u"Windows 10");
    EXPECT_TRUE(setup.automatic);
    EXPECT_FALSE(setup.uninstalling);
    EXPECT_EQ(setup.catalogue, &settings.messageCatalogue) << "the language page chooses in the settings' own catalogue";
}

}  // namespace
}  // namespace palisade
