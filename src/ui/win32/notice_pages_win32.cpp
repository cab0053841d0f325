// The two pages that only ask one thing: the must-uninstall page (remove the
// older version first) and the uninstaller's support offer.
#include <windows.h>

#include "ui/resources/resource_ids.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

class NoticePage final : public WizardPageWindow {
public:
    explicit NoticePage(PageKind kind) : WizardPageWindow(kind, PageVariant::Plain) {}

private:
    void SetTexts() override {
        PageTexts texts = Wizard().Texts();
        PageMessageNumbers numbers = MessagesOf(Kind());
        SetText(IDC_PAGE_TEXT, texts.Message(numbers.text));
        SetText(IDC_NEXT, texts.Message(numbers.next));
        SetText(IDC_CANCEL, texts.Message(numbers.cancel));
    }

    void ComeForward() override {
        WizardPageWindow::ComeForward();
        ::SetFocus(Item(IDC_NEXT));
    }

    // Both pages want the user's own answer, also in an automatic run.
    void AdvanceAutomatically() override {}
};

// Closing either page counts as its second button, and so does a silent
// run, where nobody can press the first.
PageAnswer RunNotice(PageKind kind, const char* templateName) {
    if (Wizard().setup.silent) return PageAnswer::Cancel;
    NoticePage page(kind);
    const int result = page.Run(templateName);
    if (result == kPageFailed) return PageAnswer::Failed;
    return result == IDC_NEXT ? PageAnswer::Next : PageAnswer::Cancel;
}

}  // namespace

PageAnswer ShowMustUninstallPage() { return RunNotice(PageKind::MustUninstall, kMustUninstallTemplate); }

PageAnswer ShowSupportOfferPage() { return RunNotice(PageKind::SupportOffer, kSupportOfferTemplate); }

}  // namespace palisade
