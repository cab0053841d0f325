// The wizard's shared state and its start.
#include "ui/win32/wizard_state_win32.h"

#include <commctrl.h>

#include "core/win32/process_state.h"
#include "payload/settings.h"
#include "ui/win32/background_window_win32.h"

namespace palisade {
namespace {

// Message numbers the uninstaller's texts are copied for (the pages and boxes
// use none above 115).
constexpr std::size_t kUninstallerMessages = 120;

}  // namespace

WizardState& Wizard() {
    static WizardState state;
    return state;
}

std::u16string WizardState::Message(int number) const { return Texts().Message(number); }

PageTexts WizardState::Texts() const { return PageTexts(Catalogue(), setup.product, setup.description, setup.os); }

bool WizardState::ButtonPictures() const { return (setup.installerOptions & kOptionButtonPictures) != 0; }

void StartWizard(WizardSetup setup) {
    WizardState& wizard = Wizard();
    wizard.setup = std::move(setup);
    wizard.mainThread = ::GetCurrentThreadId();
    if (wizard.setup.catalogue == nullptr) {
        wizard.ownCatalogue = MessageCatalogue({u"English"}, kUninstallerMessages);
        for (std::size_t n = 0; n < kUninstallerMessages && wizard.setup.messages; ++n) {
            wizard.ownCatalogue.SetText(n, 0, wizard.setup.messages(int(n)));
        }
    }
    BackgroundSettings& background = wizard.setup.background;
    background.defaultTitle = wizard.Message(0);
    if (background.HasPageBackground()) {
        wizard.pageBrush.reset(::CreateSolidBrush(background.pageBackgroundColor));
    }
    if (wizard.setup.silent) return;
    // The link control of the greeting pages and the progress bar are common
    // controls: without their classes those pages cannot be made.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LINK_CLASS | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);
    if (!(wizard.setup.settingsFlags1 & Flags1::kNoBackgroundWindow)) {
        wizard.background = CreateBackgroundWindow(Process().instance, false);
    }
    Process().beforeExit = CloseBackgroundWindow;
}

}  // namespace palisade
