// The wizard pages as the main sequence and the uninstaller call them. Each
// runs as a modal page over the background window (an automatic run's page
// presses Next by itself); silent runs never get here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// Neither: the page could not be made (its template is missing, or windows
// may not be made here); the caller goes on as if it had not been shown.
enum class PageAnswer { Next, Cancel, Failed };

// The greeting (messages 65 and 1; the link of message 105 when the settings
// give its address). The plain variant is a message box with OK and Cancel.
// Next only when the user chose it; a page that could not be made says so
// in the system's box and counts as Cancel.
PageAnswer ShowGreetingPage();

// The language page: the catalogue's languages, the user's preselected;
// choosing one switches the page and the background title at once. The
// chosen one is the catalogue's current language.
PageAnswer ShowLanguagePage();

// One licence document (plain or rich text); Next (accept) is not the default
// button, and with the read-to-the-end option it stays disabled until the
// document was scrolled to its end.
PageAnswer ShowLicencePage(const std::vector<std::uint8_t>& document);
PageAnswer ShowReadmePage(const std::vector<std::uint8_t>& document);

// What the folder page's space labels add up: the settings' fixed and
// reserve sizes and the size of every file of the payload.
struct FolderPageSizes {
    std::uint64_t fixedSize = 0;
    std::uint64_t reserveSize = 0;
    std::vector<std::uint64_t> fileSizes;
};

// The folder page (messages 24 and 11) with `folder` in its edit, Browse and,
// when the settings ask for them, the required and available space. On Next
// `folder` is the edit's text, unchecked: the installation tests it.
PageAnswer ShowFolderPage(std::u16string& folder, const FolderPageSizes& sizes);

// The pages that come with the destination and confirmation pages. Until
// they are part of the program, a page that offers a default (start-menu
// folder) passes as if Next were pressed, and one that demands an answer
// nobody has given (password, uninstall-first) cancels.
enum class WizardPage { Password, MustUninstall, StartMenu };
PageAnswer ShowWizardPage(WizardPage page, std::u16string_view text = {});

}  // namespace palisade
