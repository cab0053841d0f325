// The answers of the pages that are not part of the program yet.
#include "ui/win32/wizard_pages_win32.h"

namespace palisade {

PageAnswer ShowWizardPage(WizardPage page, std::u16string_view) {
    switch (page) {
        case WizardPage::Password:
        case WizardPage::MustUninstall:
            return PageAnswer::Cancel;
        case WizardPage::StartMenu:
            break;
    }
    return PageAnswer::Next;
}

}  // namespace palisade
