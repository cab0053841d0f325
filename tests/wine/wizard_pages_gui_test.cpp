// Every page of an interactive installation in every layout variant, as the
// spy sees it: the controls against the page's template, the texts from the
// catalogue, the banner lines, the button row and the centring over the
// background window. One installation per variant; screenshots of each page
// go to the test artefacts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <map>

#include "core/text.h"
#include "payload/settings_flags.h"
#include "ui/resources/resource_ids.h"
#include "wizard_gui_support.h"

namespace palisade::wine {
namespace {

const char* const kSuffixes[] = {"2", "", "3", "4"};  // by variant: Plain, SidePicture, Banner, FullSidePicture
constexpr int kBanner = 2;
constexpr int kBoxText = 20001;  // the program's message box: its text
constexpr int kResultYes = 6;

struct PageCheck {
    std::string templateName;
    std::string caption;               // the window's title
    std::map<int, std::string> texts;  // control id -> text
};

// What each variant's product sets beyond the variant, so that every
// appearance setting is seen once: the dialog font (its units are those of
// the font the pages run in), the page colours, a rich-text licence, and the
// progress page's position code.
struct VariantSetup {
    std::string face = "MS Shell Dlg 2";
    int points = 10;
    bool pageColours = false;
    bool richLicence = false;
    std::uint32_t progressPosition = 0;
};
VariantSetup SetupOf(int variant) {
    VariantSetup setup;
    if (variant == 0) setup.progressPosition = 1 | 8;  // the top-left corner of the work area
    if (variant == 2) setup.pageColours = true, setup.richLicence = true;
    if (variant == 3) setup.face = "Tahoma", setup.points = 12;
    return setup;
}
constexpr std::uint32_t kPageColour = 0xD0F0FF;  // light yellow

class WizardPagesGui : public testing::TestWithParam<int> {};

// The caption of a page in a variant: Banner pages show message 65 and carry
// the page's caption as banner line 2.
PageCheck Check(const std::string& family, int variant, int captionMessage, const std::string& product,
                std::map<int, std::string> texts) {
    PageCheck check{family + kSuffixes[variant], EnglishText(captionMessage, product), std::move(texts)};
    if (variant == kBanner) {
        check.caption = EnglishText(65, product);
        check.texts[IDC_BANNER_LINE1] = product;
        check.texts[IDC_BANNER_LINE2] = EnglishText(captionMessage, product);
    }
    return check;
}

// Pixels of ink (text drawn dark or in link blue) in a control's rectangle
// on the screen: its text is there, in front of whatever picture, panel or
// other control lies behind it.
int InkPixels(const ScreenPixels& screen, const SpyWindow& page, const SpyControl& control) {
    int ink = 0;
    for (int y = 0; y < control.rect.height; ++y) {
        for (int x = 0; x < control.rect.width; ++x) {
            std::uint32_t colour = screen.At(page.client.x + control.rect.x + x, page.client.y + control.rect.y + y);
            ink += (colour & 0xFF) + ((colour >> 8) & 0xFF) + ((colour >> 16) & 0xFF) < 400;
        }
    }
    return ink;
}

void ExpectPage(GuiRun& gui, std::uintptr_t window, const PageCheck& check, int variant, const std::string& shot) {
    SCOPED_TRACE(check.templateName);
    const VariantSetup setup = SetupOf(variant);
    SpyWindow page = gui.spy().Describe(window, setup.face, setup.points);
    EXPECT_EQ(page.title, check.caption);
    const bool placedByCode = check.templateName.rfind("ProgressDlg", 0) == 0 && setup.progressPosition != 0;
    ExpectPageMatchesTemplate(page, check.templateName, placedByCode ? std::nullopt : gui.BackgroundRect());
    if (placedByCode) {
        EXPECT_EQ(page.rect.x, 0) << "at the work area's left edge";
        EXPECT_EQ(page.rect.y, 0) << "at the work area's top edge";
    }
    // The side picture's frame: a sunken edge beside the content, none when it is flush.
    if (const SpyControl* picture = page.Find(IDC_SIDE_PICTURE)) {
        EXPECT_EQ(bool(picture->exStyle & 0x200), variant == 1) << "frame of the side picture";
    }
    std::optional<ScreenPixels> screen = ScreenPixels::Capture();
    ASSERT_TRUE(screen.has_value());
    if (setup.pageColours) {
        // The page's own colour, below the button row.
        EXPECT_EQ(screen->At(page.client.x + 2, page.client.y + page.client.height - 2), kPageColour);
    }
    for (const auto& [id, text] : check.texts) {
        const SpyControl* control = page.Find(id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->text, text) << "control " << id;
        // Texts stay in front of the side and banner pictures and the white panel.
        if (id == IDC_PAGE_TEXT || id == IDC_BANNER_LINE1 || id == IDC_BANNER_LINE2 || id == IDC_GREETING_LINK) {
            EXPECT_GT(InkPixels(*screen, page, *control), 20) << "control " << id << " shows no text";
        }
    }
    // The row ends at the right margin, four dialog units from the edge; the
    // progress page centres it in the Plain and Banner variants.
    std::vector<const SpyControl*> row = RowButtons(page);
    ASSERT_FALSE(row.empty());
    const SpyControl& last = *row.back();
    const bool centred = check.templateName.rfind("ProgressDlg", 0) == 0 && (variant == 0 || variant == kBanner);
    if (centred) {
        EXPECT_NEAR(last.rect.x + last.rect.width / 2, page.client.width / 2, 1);
    } else {
        EXPECT_NEAR(last.units.x + last.units.width, (page.client.width * 4 / page.baseX) - 4, 1);
    }
    ScreenshotOf(shot, page.rect, 16);
}

TEST_P(WizardPagesGui, EveryPageMatchesItsTemplateAndShowsItsTexts) {
    const int variant = GetParam();
    const std::string tag = "v" + std::to_string(variant) + "-" + std::to_string(::getpid());
    const std::string name = "Wizard Pages " + tag;
    TestProduct product = WizardProduct(name, variant);
    product.settings.settingsFlags1 |= Flags1::kGreetingPage | Flags1::kFolderPage;
    product.settings.installerOptions |= kOptionShowDiskSpace;
    product.settings.fixedSize = 500u << 20;  // far more than the clusters of one small file
    product.settings.greetingLinkAddress = u"http://example.invalid/help";
    const VariantSetup setup = SetupOf(variant);
    product.settings.licenceTexts = {LongDocument("The licence", 120)};
    if (setup.richLicence) {
        const std::string rich = "{\\rtf1\\ansi The licence\\par Line 1 of the document.\\par}";
        product.settings.licenceTexts = {std::vector<std::uint8_t>(rich.begin(), rich.end())};
    }
    if (setup.pageColours) {
        product.settings.settingsFlags1 |= Flags1::kPageColours;
        product.settings.pageBackgroundColor = kPageColour;
        product.settings.pageTextColor = 0x202020;
    }
    if (setup.face != "MS Shell Dlg 2") {
        product.settings.dialogFont = Utf8ToUtf16(setup.face + "," + std::to_string(setup.points));
    }
    product.settings.progressPosition = setup.progressPosition;
    product.settings.readmeTexts = {LongDocument("The readme", 3)};
    product.items.push_back(FileItem("app.exe", "the program"));
    GuiRun gui(WriteInstaller(product, "wizard-pages-" + tag + ".exe"), {}, {{"LANG", "en_US.UTF-8"}});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";
    const std::string suffix = kSuffixes[variant];

    PageCheck language = Check("LanguageDlg", variant, 94, name,
                               {{IDC_PAGE_TEXT, EnglishText(82, name)}, {IDC_NEXT, "&Next >"}, {IDC_CANCEL, "Cancel"}});
    std::uintptr_t page = gui.WaitForDialog(language.caption);
    ASSERT_NE(page, 0u);
    ExpectPage(gui, page, language, variant, "pages-" + language.templateName + "-language");
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    ASSERT_TRUE(gui.spy().WaitGone(page));

    if (variant == 0) {
        // The plain greeting is the program's message box with OK and Cancel.
        std::uintptr_t box = gui.WaitForDialog(EnglishText(65, name));
        SpyWindow shown = gui.spy().Describe(box);
        ASSERT_NE(shown.Find(1), nullptr);
        ASSERT_NE(shown.Find(2), nullptr);
        EXPECT_EQ(shown.Control(1).text, "OK");
        EXPECT_EQ(shown.Control(2).text, "Cancel");
        ScreenshotOf("pages-GreetingBox-greeting", shown.rect, 16);
        EXPECT_TRUE(gui.spy().Click(box, 1));
        ASSERT_TRUE(gui.spy().WaitGone(box));
    } else {
        std::string link = "Visit the <a href=\"http://example.invalid/help\">web site of " + name +
                           "</a> for more information.";
        std::string text = (variant == kBanner ? "\r\n\r\n" : "") + EnglishText(1, name);
        PageCheck greeting = Check("GreetingDlg", variant, 65, name,
                                   {{IDC_PAGE_TEXT, text}, {IDC_GREETING_LINK, link}, {IDC_NEXT, "&Next >"}});
        if (variant == kBanner) greeting.texts[IDC_BANNER_LINE2] = EnglishText(103, name);
        page = gui.WaitForDialog(greeting.caption);
        ExpectPage(gui, page, greeting, variant, "pages-" + greeting.templateName + "-greeting");
        EXPECT_EQ(gui.spy().FocusedControl(page), IDC_NEXT);
        EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
        ASSERT_TRUE(gui.spy().WaitGone(page));
    }

    PageCheck licence = Check("LicenseDlg", variant, 44, name,
                              {{IDC_PAGE_TEXT, EnglishText(47, name)}, {IDC_NEXT, "I &Agree"}, {IDC_CANCEL, "I &Decline"}});
    page = gui.WaitForDialog(licence.caption);
    ExpectPage(gui, page, licence, variant, "pages-" + licence.templateName + "-licence");
    SpyWindow shown = gui.spy().Describe(page, setup.face, setup.points);
    ASSERT_NE(shown.Find(IDC_DOCUMENT), nullptr);
    EXPECT_EQ(shown.Control(IDC_DOCUMENT).text.rfind("The licence", 0), 0u);
    EXPECT_NE(shown.Control(IDC_DOCUMENT).text.find("Line 1 of the document."), std::string::npos);
    EXPECT_EQ(shown.Control(IDC_DOCUMENT).className, setup.richLicence ? "RichEdit20W" : "Edit");
    EXPECT_FALSE(shown.Control(IDC_NEXT).style & 1) << "Accept is not the default button";
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    ASSERT_TRUE(gui.spy().WaitGone(page));

    PageCheck readme = Check("ReadmeDlg", variant, 50, name,
                             {{IDC_PAGE_TEXT, EnglishText(51, name)}, {IDC_NEXT, "&Next >"}, {IDC_CANCEL, "Cancel"}});
    page = gui.WaitForDialog(readme.caption);
    ExpectPage(gui, page, readme, variant, "pages-" + readme.templateName + "-readme");
    EXPECT_TRUE(gui.spy().Describe(page, setup.face, setup.points).Control(IDC_NEXT).style & 1) << "Next is the default button";
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    ASSERT_TRUE(gui.spy().WaitGone(page));

    // The folder page offers the default folder; Next (without a start-menu
    // page it says "Install") asks whether to create it.
    PageCheck folder = Check("ChooseDirDlg", variant, 24, name,
                             {{IDC_PAGE_TEXT, EnglishText(11, name)}, {IDC_FOLDER_EDIT, InstallFolderOf(name)},
                              {IDC_BROWSE, "&Browse..."}, {IDC_SPACE_REQUIRED, "Space needed: 500 MB"},
                              {IDC_NEXT, "&Install"}, {IDC_CANCEL, "Cancel"}});
    page = gui.WaitForDialog(folder.caption);
    ExpectPage(gui, page, folder, variant, "pages-" + folder.templateName + "-folder");
    const SpyWindow folderPage = gui.spy().Describe(page);
    const SpyControl* available = folderPage.Find(IDC_SPACE_AVAILABLE);
    ASSERT_NE(available, nullptr);
    EXPECT_EQ(available->text.rfind("Space free: ", 0), 0u) << available->text;
    EXPECT_TRUE(gui.spy().Click(page, IDC_NEXT));
    std::uintptr_t create = gui.WaitForDialog(EnglishText(20, name));
    EXPECT_EQ(gui.spy().Describe(create).Control(kBoxText).text, EnglishText(23, name) + "\r\n\r\n" + InstallFolderOf(name));
    EXPECT_TRUE(gui.spy().Click(create, kResultYes));

    // The finish message comes while the progress page still shows the end.
    std::uintptr_t finish = gui.WaitForDialog(EnglishText(43, name));
    PageCheck progress = Check("ProgressDlg", variant, 54, name,
                               {{IDC_PAGE_TEXT, EnglishText(39, name)}, {IDC_CANCEL, "Cancel"}});
    std::optional<std::uintptr_t> progressPage = gui.spy().WaitFor("#32770", progress.caption, std::chrono::seconds(5));
    ASSERT_TRUE(progressPage.has_value());
    ExpectPage(gui, *progressPage, progress, variant, "pages-" + progress.templateName + "-progress");
    EXPECT_EQ(gui.spy().Position(*progressPage, IDC_PROGRESS_BAR), 100);
    EXPECT_TRUE(gui.spy().Click(finish, 1));
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_EQ(ReadHostFile(HostPath(InstallFolderOf(name) + "\\app.exe")), "the program");
}

std::string VariantName(const testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"Plain", "SidePicture", "Banner", "FullSidePicture"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Variants, WizardPagesGui, testing::Values(0, 1, 2, 3), VariantName);

}  // namespace
}  // namespace palisade::wine
