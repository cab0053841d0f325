// Shared pieces of the wizard's GUI tests.
#include "wizard_gui_support.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "builder/english_messages.h"
#include "core/text.h"
#include "payload/message_catalogue.h"
#include "payload/settings_flags.h"
#include "ui/resources/resource_ids.h"
#include "ui/template_table.h"

namespace palisade::wine {

namespace fs = std::filesystem;

GuiRun::GuiRun(const fs::path& program, std::vector<std::string> arguments,
               std::vector<std::pair<std::string, std::string>> environment) {
    if (!m_display.Ready()) return;
    m_spy = std::make_unique<Spy>();
    m_spy->Follow(program.filename().string());
    RunOptions options;
    options.arguments = std::move(arguments);
    options.environment = std::move(environment);
    m_run = std::make_unique<BackgroundRun>(program, options);
}

std::uintptr_t GuiRun::WaitForDialog(const std::string& title) {
    std::optional<std::uintptr_t> window = m_spy->WaitFor("#32770", title);
    EXPECT_TRUE(window.has_value()) << "no window \"" << title << "\"";
    return window.value_or(0);
}

std::optional<PixelRect> GuiRun::BackgroundRect() {
    for (const SpyWindow& window : m_spy->Windows()) {
        if (window.className == "SEA Window Class") return window.rect;
    }
    return std::nullopt;
}

fs::path UniqueCopy(const fs::path& program, const std::string& tag) {
    fs::path folder = BuildDir() / "test-installers";
    fs::create_directories(folder);
    fs::path copy = folder / (tag + "-" + std::to_string(::getpid()) + ".exe");
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    return copy;
}

namespace {

std::string Replaced(std::string text, const std::string& product, const std::string& description) {
    auto replaceAll = [&text](const std::string& from, const std::string& to) {
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    };
    replaceAll("<product>", product);
    replaceAll("<description>", description.empty() ? product : description);
    std::string withBreaks;
    for (char c : text) {
        if (c == '\n') withBreaks += '\r';
        withBreaks += c;
    }
    return withBreaks;
}

std::string Marked(const std::string& text) { return text.empty() ? text : "[de] " + text; }

}  // namespace

std::string EnglishText(int number, const std::string& product, const std::string& description) {
    return Replaced(tools::EnglishMessages().at(std::size_t(number)), product, description);
}

std::string SecondLanguageText(int number, const std::string& product) {
    return Marked(EnglishText(number, product));
}

TestProduct WizardProduct(const std::string& name, int variant, const std::string& secondLanguage) {
    TestProduct product = MakeProduct(name);
    InstallerSettings& s = product.settings;
    const std::vector<std::string>& english = tools::EnglishMessages();
    MessageCatalogue catalogue({u"English", Utf8ToUtf16(secondLanguage)}, english.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        catalogue.SetText(i, 0, Utf8ToUtf16(english[i]));
        catalogue.SetText(i, 1, Utf8ToUtf16(Marked(english[i])));
    }
    s.messageCatalogue = catalogue;
    s.settingsFlags2 |= Flags2::kProgressPage;
    for (std::int32_t* page : {&s.greetingPageVariant, &s.languagePageVariant, &s.licencePageVariant,
                               &s.readmePageVariant, &s.folderPageVariant, &s.progressPageVariant}) {
        *page = variant;
    }
    return product;
}

std::vector<std::uint8_t> LongDocument(const std::string& title, int lines) {
    std::string text = title + "\r\n";
    for (int i = 1; i <= lines; ++i) text += "Line " + std::to_string(i) + " of the document.\r\n";
    return {text.begin(), text.end()};
}

namespace {

bool SameClass(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool InRow(int id) { return id == IDC_NEXT || id == IDC_CANCEL; }

}  // namespace

std::vector<const SpyControl*> RowButtons(const SpyWindow& page) {
    std::vector<const SpyControl*> row;
    for (const SpyControl& control : page.controls) {
        if (InRow(control.id)) row.push_back(&control);
    }
    std::sort(row.begin(), row.end(), [](const SpyControl* a, const SpyControl* b) { return a->rect.x < b->rect.x; });
    return row;
}

void ExpectPageMatchesTemplate(const SpyWindow& page, const std::string& templateName,
                               const std::optional<PixelRect>& background) {
    const DialogSpec* expected = FindDialogSpec(templateName);
    ASSERT_NE(expected, nullptr) << templateName;
    SCOPED_TRACE(templateName);
    // The client area is the template's size in the page's own base units.
    EXPECT_EQ(page.client.width, (expected->width * page.baseX + 2) / 4);
    EXPECT_EQ(page.client.height, (expected->height * page.baseY + 4) / 8);
    if (background) {
        const int pageCentreX = page.rect.x + page.rect.width / 2, pageCentreY = page.rect.y + page.rect.height / 2;
        EXPECT_NEAR(pageCentreX, background->x + background->width / 2, 1) << "centred across the background";
        if (templateName.rfind("ProgressDlg", 0) != 0) {
            EXPECT_NEAR(pageCentreY, background->y + background->height / 2, 1) << "centred down the background";
        }
    }
    EXPECT_EQ(page.controls.size(), expected->controls.size());
    for (const ControlSpec& expected : expected->controls) {
        const SpyControl* control = page.Find(int(expected.id));
        ASSERT_NE(control, nullptr) << "control " << expected.id;
        SCOPED_TRACE("control " + std::to_string(expected.id));
        const bool richDocument = expected.id == IDC_DOCUMENT && control->className == "RichEdit20W";
        if (!richDocument) {
            EXPECT_TRUE(SameClass(control->className, expected.className)) << control->className;
        }
        EXPECT_TRUE(control->visible);
        const PixelRect wanted{expected.x, expected.y, expected.width, expected.height};
        if (InRow(int(expected.id))) {
            // The row keeps its line and height; a button only grows.
            EXPECT_EQ(control->units.y, wanted.y);
            EXPECT_EQ(control->units.height, wanted.height);
            EXPECT_GE(control->units.width, wanted.width);
        } else if (SameClass(expected.className, "ListBox")) {
            // A list shows whole items only: it may lose part of one.
            EXPECT_EQ(control->units.x, wanted.x);
            EXPECT_EQ(control->units.y, wanted.y);
            EXPECT_EQ(control->units.width, wanted.width);
            EXPECT_LE(control->units.height, wanted.height);
            EXPECT_GT(control->units.height, wanted.height - 16);
        } else {
            EXPECT_EQ(control->units, wanted);
        }
    }
}

void ExpectCancelMessage(GuiRun& gui, const std::string& product) {
    constexpr int kBoxText = 20001;  // the program's message box: its text
    std::uintptr_t box = gui.WaitForDialog(EnglishText(111, product));
    ASSERT_NE(box, 0u);
    SpyWindow shown = gui.spy().Describe(box);
    ASSERT_NE(shown.Find(kBoxText), nullptr);
    EXPECT_EQ(shown.Control(kBoxText).text, EnglishText(98, product));
    EXPECT_TRUE(gui.spy().Click(box, 1));
}

void BrowseAndAcceptTheFolderBrowser(GuiRun& gui, std::uintptr_t page, const std::string& prompt) {
    EXPECT_TRUE(gui.spy().Click(page, IDC_BROWSE));
    std::uintptr_t browser = 0;
    for (int i = 0; i < 60 && browser == 0; ++i) {
        for (const SpyWindow& window : gui.spy().Windows()) {
            if (window.className == "#32770" && window.handle != page) browser = window.handle;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    ASSERT_NE(browser, 0u) << "no folder browser";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const SpyWindow browsing = gui.spy().Describe(browser);
    EXPECT_TRUE(std::any_of(browsing.controls.begin(), browsing.controls.end(),
                            [&](const SpyControl& control) { return control.text == prompt; }))
        << "the prompt";
    EXPECT_TRUE(gui.spy().Click(browser, 1));
    ASSERT_TRUE(gui.spy().WaitGone(browser));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

}  // namespace palisade::wine
