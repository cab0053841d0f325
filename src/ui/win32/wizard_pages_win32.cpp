// The wizard pages' answers while the pages are not part of the program.
#include "ui/win32/wizard_pages_win32.h"

namespace palisade {

PageAnswer ShowWizardPage(WizardPage page, std::u16string_view) {
    switch (page) {
        case WizardPage::Password:
        case WizardPage::MustUninstall:
            return PageAnswer::Cancel;
        default:
            return PageAnswer::Next;
    }
}

}  // namespace palisade
