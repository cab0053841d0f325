// A whole interactive installation of the example product (examples/hello,
// built by the builder CLI) driven by the spy from the language page to the
// finish message, in English, German, Russian and Japanese: every page is
// checked, answered and photographed, and in Russian and Japanese every text
// on it is checked to be drawn with real glyphs, not missing-glyph boxes. scripts/make-screenshots.sh takes the English pictures
// for the README from the test artefacts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <map>

#include "builder/english_messages.h"
#include "builder/languages.h"
#include "common/diagnostics.h"
#include "ui/resources/resource_ids.h"
#include "wizard_gui_support.h"

namespace palisade::wine {
namespace {

namespace fs = std::filesystem;

const std::string kProduct = "Hello";
const std::string kDescription = "Hello, the Palisade example product";

struct Language {
    std::string tag;     // en, de, ru, ja
    std::string locale;  // the user's locale, which preselects the language
    int listIndex;       // the language's place in the list
};

void PrintTo(const Language& language, std::ostream* out) { *out << language.tag; }

class WizardEndToEndGui : public testing::TestWithParam<Language> {};

// The example's texts in one language: the built-in English ones, or one
// of the builder's shipped translations over them, as a page shows them.
class ExampleTexts {
public:
    explicit ExampleTexts(const std::string& tag) {
        if (tag == "en") return;
        tools::Diagnostics diagnostics;
        std::optional<tools::LanguageSource> translation = tools::ReadLanguageFile(
            std::string(PALISADE_SOURCE_DIR) + "/tools/languages/" + tag + ".toml", diagnostics);
        if (translation) m_translated = translation->messages;
    }
    std::string operator()(int number) const {
        auto found = m_translated.find(number);
        std::string text = found != m_translated.end() ? found->second : tools::EnglishMessages().at(std::size_t(number));
        for (auto [from, to] : {std::pair<std::string, std::string>{"<product>", kProduct}, {"<description>", kDescription}}) {
            for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
                text.replace(at, from.size(), to);
            }
        }
        std::string withBreaks;
        for (char c : text) withBreaks += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return withBreaks;
    }

private:
    std::map<int, std::string> m_translated;
};

fs::path BuildExample() {
    fs::path installer = BuildDir() / "test-installers" / ("hello-setup-" + std::to_string(::getpid()) + ".exe");
    fs::create_directories(installer.parent_path());
    std::string command = std::string(PALISADE_BUILDER_PATH) + " build '" + PALISADE_SOURCE_DIR +
                          "/examples/hello/palisade.toml' -o '" + installer.string() + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return installer;
}

// An installation left by an earlier run would turn this one into a reinstallation.
void RemoveEarlierInstallation(const fs::path& folder) {
    if (fs::exists(folder / "uninstall" / "uninstall.exe")) {
        RunProgram(folder / "uninstall" / "uninstall.exe", WithArguments({"/u:Hello", "/silent"}));
    }
    RunProgram("reg", WithArguments({"delete", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hello",
                                     "/f", "/reg:32"}));
    fs::remove_all(folder);
}

// Every text of the page is drawn with glyphs in the pages' font (GDI, with
// the system's font links, as the dialog draws it), never as boxes.
// The probe runs in the installer's locale, which decides the fonts Wine
// links for the pages' font.
void ExpectGlyphsFor(const SpyWindow& page, const std::string& shot, const std::string& locale) {
    std::string all;
    for (const SpyControl& control : page.controls) all += control.text + " ";
    RunOptions options = WithArguments({"glyph-check", "MS Shell Dlg 2", "10", all});
    options.environment = {{"LANG", locale}, {"LC_ALL", locale}};
    RunResult check = RunProgram(ProbePath(), options);
    EXPECT_EQ(check.stdoutText, "ok") << shot << ": " << all;
}

std::string InstallLogText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Checks the texts of a page, photographs it and presses `button`.
void Answer(GuiRun& gui, std::uintptr_t window, const std::map<int, std::string>& texts, const std::string& shot,
            int button, const std::string& glyphLocale) {
    SpyWindow page = gui.spy().Describe(window);
    for (const auto& [id, text] : texts) {
        const SpyControl* control = page.Find(id);
        ASSERT_NE(control, nullptr) << shot << ": control " << id;
        EXPECT_EQ(control->text, text) << shot << ": control " << id;
    }
    if (!glyphLocale.empty()) ExpectGlyphsFor(page, shot, glyphLocale);
    EXPECT_TRUE(ScreenshotOf(shot, page.rect, 24));
    EXPECT_TRUE(gui.spy().Click(window, button));
    EXPECT_TRUE(gui.spy().WaitGone(window));
}

TEST_P(WizardEndToEndGui, TheExampleInstallsThroughEveryPage) {
    const Language language = GetParam();
    const ExampleTexts text(language.tag);
    const std::string glyphs = language.tag == "ru" || language.tag == "ja" ? language.locale : "";
    const std::string shot = "hello-" + language.tag + "-";
    fs::path installer = BuildExample();
    const fs::path folder = HostPath("C:\\Program Files (x86)\\Palisade Examples\\Hello");
    RemoveEarlierInstallation(folder);
    GuiRun gui(installer, {}, {{"LANG", language.locale}, {"LC_ALL", language.locale}});
    if (!gui.Ready()) GTEST_SKIP() << "no X server for the test";

    std::uintptr_t page = gui.WaitForDialog(text(94));
    ASSERT_NE(page, 0u);
    SpyWindow languagePage = gui.spy().Describe(page);
    ASSERT_NE(languagePage.Find(IDC_LANGUAGE_LIST), nullptr);
    EXPECT_EQ(languagePage.Control(IDC_LANGUAGE_LIST).selected, language.listIndex) << "preselected by the locale";
    ASSERT_NO_FATAL_FAILURE(Answer(gui, page, {{IDC_PAGE_TEXT, text(82)}, {IDC_NEXT, text(48)}}, shot + "language", IDC_NEXT, glyphs));

    page = gui.WaitForDialog(text(65));
    const std::string link = "<a href=\"https://example.org/hello\">";
    std::string linkText = text(105);
    linkText.replace(linkText.find("<a>"), 3, link);
    ASSERT_NO_FATAL_FAILURE(Answer(gui, page, {{IDC_PAGE_TEXT, text(1)}, {IDC_GREETING_LINK, linkText}, {IDC_NEXT, text(48)}},
                                   shot + "greeting", IDC_NEXT, glyphs));

    page = gui.WaitForDialog(text(44));
    SpyWindow licence = gui.spy().Describe(page);
    ASSERT_NE(licence.Find(IDC_DOCUMENT), nullptr);
    EXPECT_EQ(licence.Control(IDC_DOCUMENT).text.rfind("Licence of Hello, the Palisade example product", 0), 0u);
    ASSERT_NO_FATAL_FAILURE(Answer(gui, page, {{IDC_PAGE_TEXT, text(47)}, {IDC_NEXT, text(45)}, {IDC_CANCEL, text(46)}},
                                   shot + "licence", IDC_NEXT, glyphs));

    // The folder page offers the default folder; Next ("Install": no
    // start-menu page follows) asks to create it.
    const std::string defaultFolder = "C:\\Program Files (x86)\\Palisade Examples\\Hello";
    page = gui.WaitForDialog(text(24));
    ASSERT_NO_FATAL_FAILURE(Answer(gui, page,
                                   {{IDC_PAGE_TEXT, text(11)}, {IDC_FOLDER_EDIT, defaultFolder}, {IDC_BROWSE, " " + text(52)},
                                    {IDC_NEXT, text(90)}, {IDC_CANCEL, text(49)}},
                                   shot + "folder", IDC_NEXT, glyphs));
    std::uintptr_t create = gui.WaitForDialog(text(20));
    ASSERT_NE(create, 0u);
    SpyWindow createBox = gui.spy().Describe(create);
    ASSERT_NE(createBox.Find(20001), nullptr);
    EXPECT_EQ(createBox.Control(20001).text, text(23) + "\r\n\r\n" + defaultFolder);
    EXPECT_TRUE(gui.spy().Click(create, 6));

    // The progress page is photographed as it comes.
    std::optional<std::uintptr_t> progress = gui.spy().WaitFor("#32770", text(54));
    ASSERT_TRUE(progress.has_value());
    SpyWindow progressPage = gui.spy().Describe(*progress);
    EXPECT_EQ(progressPage.Control(IDC_PAGE_TEXT).text, text(39));
    if (!glyphs.empty()) ExpectGlyphsFor(progressPage, shot + "progress", glyphs);
    ScreenshotOf(shot + "progress", progressPage.rect, 24);

    std::uintptr_t finish = gui.WaitForDialog(text(43));
    if (!finish) {
        // Failures were listed instead: say which, from the log written once "No" is pressed.
        Screenshot(shot + "no-finish-screen");
        if (std::optional<std::uintptr_t> incomplete = gui.spy().WaitFor("#32770", text(41))) {
            gui.spy().Click(*incomplete, 7);  // IDNO
            gui.run().Wait(std::chrono::seconds(120));
            ADD_FAILURE() << InstallLogText(folder / "uninstall" / "Install.log");
        }
        return;
    }
    EXPECT_EQ(gui.spy().Position(*progress, IDC_PROGRESS_BAR), 100);
    SpyWindow finishBox = gui.spy().Describe(finish);
    ASSERT_NE(finishBox.Find(20001), nullptr);
    EXPECT_EQ(finishBox.Control(20001).text, text(42));
    Screenshot(shot + "finish-screen");
    ScreenshotOf(shot + "finish", finishBox.rect, 24);
    EXPECT_TRUE(gui.spy().Click(finish, 1));
    RunResult result = gui.run().Wait(std::chrono::seconds(120));
    EXPECT_EQ(result.exitCode, 1) << result.debugOutput;
    EXPECT_TRUE(fs::exists(folder / "readme.txt"));
    EXPECT_TRUE(fs::exists(folder / "uninstall" / "Install.log"));
    RemoveEarlierInstallation(folder);
}

std::string LanguageName(const testing::TestParamInfo<Language>& info) {
    const std::map<std::string, std::string> names{{"en", "English"}, {"de", "German"}, {"ru", "Russian"},
                                                   {"ja", "Japanese"}};
    return names.at(info.param.tag);
}

// The example's languages, in its list's order: English, German, French, Russian, Japanese.
INSTANTIATE_TEST_SUITE_P(Languages, WizardEndToEndGui,
                         testing::Values(Language{"en", "en_US.UTF-8", 0}, Language{"de", "de_DE.UTF-8", 1},
                                         Language{"ru", "ru_RU.UTF-8", 3}, Language{"ja", "ja_JP.UTF-8", 4}),
                         LanguageName);

}  // namespace
}  // namespace palisade::wine
