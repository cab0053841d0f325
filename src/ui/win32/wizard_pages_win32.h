// The wizard pages as the main sequence and the uninstaller call them. Each
// runs as a modal page over the background window (an automatic run's page
// presses Next by itself); silent runs never get here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payload/settings.h"
#include "ui/summary_boxes.h"

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

// The start-menu page (messages 89 and 88) with `name` in its edit: Next is
// enabled only while the name is valid; Browse opens the folder browser in
// `programsFolder` (the per-user or all-users programs folder of the start
// menu). On Next `name` is the edit's text.
PageAnswer ShowStartMenuPage(std::u16string& name, const std::u16string& programsFolder);

// The password page, passed at once when `password` is empty. Next only once
// the entry equals it; a wrong entry is answered, after half a second, with
// message 102, and the page stays. A silent run cannot answer it: Cancel.
// An automatic run's page waits for the user.
PageAnswer ShowPasswordPage(std::u16string_view password);

// The must-uninstall page (message 9): Next is its Uninstall button.
PageAnswer ShowMustUninstallPage();

// The uninstaller's support offer (message 109): Next is Get Support,
// Cancel (and closing the page) is Uninstall.
PageAnswer ShowSupportOfferPage();

// The summary page: a check box for each follow-up action the settings
// have, with the user's choices when it closes; nothing when the page
// could not be made.
std::optional<SummaryChoices> ShowSummaryPage(const InstallerSettings& settings);

}  // namespace palisade
