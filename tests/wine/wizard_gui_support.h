// Shared pieces of the wizard's GUI tests: an interactive run on a display
// of its own with a spy beside it, products with two languages and
// documents, the catalogue's texts as the pages show them, and the check of
// a page against its template.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "install_support.h"
#include "wine_harness.h"

namespace palisade::wine {

// An installer (or the probe under a name of its own) run on a private
// display, with the spy following its windows.
class GuiRun {
public:
    GuiRun(const std::filesystem::path& program, std::vector<std::string> arguments,
           std::vector<std::pair<std::string, std::string>> environment = {});
    Spy& spy() { return *m_spy; }
    BackgroundRun& run() { return *m_run; }
    bool Ready() const { return m_display.Ready(); }
    // Waits for a page or box ("#32770") with this title; fails the test when none comes.
    std::uintptr_t WaitForDialog(const std::string& title);
    // The background window's rectangle (nothing when there is none).
    std::optional<PixelRect> BackgroundRect();

private:
    PrivateDisplay m_display;
    std::unique_ptr<Spy> m_spy;
    std::unique_ptr<BackgroundRun> m_run;
};

// A copy of `program` under a name no other test uses, so that the spy can
// tell its process from the others running beside it.
std::filesystem::path UniqueCopy(const std::filesystem::path& program, const std::string& tag);

// Message `number` of the English catalogue as a page shows it: placeholders
// replaced, line breaks CR LF.
std::string EnglishText(int number, const std::string& product, const std::string& description = "");

// A product with the pages of this part: English and a second language
// (named `secondLanguage`, its texts the English ones marked "[xx] "), the
// progress page, and the given page variant for every page family.
TestProduct WizardProduct(const std::string& name, int variant, const std::string& secondLanguage = "German");

// The text of message `number` in the second language of WizardProduct.
std::string SecondLanguageText(int number, const std::string& product);

// A plain licence text of `lines` numbered lines.
std::vector<std::uint8_t> LongDocument(const std::string& title, int lines);

// Checks a page against its template: the window's client size and its
// place over the background, every control's class and rectangle in dialog
// units (the buttons of the row may grow and move along the row, keeping
// their order; a list box may be shorter by less than an item).
void ExpectPageMatchesTemplate(const SpyWindow& page, const std::string& templateName,
                               const std::optional<PixelRect>& background);

// Presses Browse on `page` and waits for the system's folder browser; checks
// that it shows `prompt`, presses its OK and waits until it is gone. The
// page's edit then holds whatever the page made of the browser's answer.
void BrowseAndAcceptTheFolderBrowser(GuiRun& gui, std::uintptr_t page, const std::string& prompt);

// Waits for the cancel message (message 98, caption 111) that every Cancel
// ends with, checks its text and presses OK.
void ExpectCancelMessage(GuiRun& gui, const std::string& product);

// The controls that lie in the button row of a page, left to right.
std::vector<const SpyControl*> RowButtons(const SpyWindow& page);

}  // namespace palisade::wine
