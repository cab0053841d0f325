// The password page: a masked entry of at most 64 characters; OK only with
// the installation's password, as often as the user likes to try.
#include <windows.h>

#include "core/message_numbers.h"
#include "ui/entry_rules.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

class PasswordPage final : public WizardPageWindow {
public:
    explicit PasswordPage(std::u16string_view password)
        : WizardPageWindow(PageKind::Password, PageVariant::Plain), m_password(password) {}

private:
    HWND Entry() const { return Item(IDC_PASSWORD_EDIT); }

    void SetTexts() override {
        PageTexts texts = Wizard().Texts();
        PageMessageNumbers numbers = MessagesOf(PageKind::Password);
        SetText(IDC_PAGE_TEXT, texts.Message(numbers.text));
        SetText(IDC_PASSWORD_LABEL, texts.Message(Msg::kPasswordLabel));
        ::SendMessageW(Entry(), EM_LIMITTEXT, kMaxPasswordLength, 0);
        SetText(IDC_NEXT, u"OK");
        SetText(IDC_CANCEL, texts.Message(numbers.cancel));
    }

    void ComeForward() override {
        WizardPageWindow::ComeForward();
        ::SetFocus(Entry());
    }

    // Nobody has typed anything in an automatic run: the page waits for its answer.
    void AdvanceAutomatically() override {}

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (message != WM_COMMAND || LOWORD(wParam) != IDC_NEXT || lParam == 0 || HIWORD(wParam) != BN_CLICKED) {
            return false;
        }
        if (PasswordMatches(ItemText(IDC_PASSWORD_EDIT), m_password)) return false;  // the common handling ends the page
        // The delay makes guessing slow; the page stays for the next try.
        ::Sleep(kWrongPasswordDelayMilliseconds);
        ShowInstallerMessage(Wizard().Message(Msg::kWrongPassword), Wizard().Message(Msg::kErrorCaption),
                             MB_OK | MB_ICONERROR, Handle());
        ::SendMessageW(Entry(), EM_SETSEL, 0, -1);
        ::SetFocus(Entry());
        result = TRUE;
        return true;
    }

    std::u16string_view m_password;
};

}  // namespace

PageAnswer ShowPasswordPage(std::u16string_view password) {
    if (password.empty()) return PageAnswer::Next;
    if (Wizard().setup.silent) return PageAnswer::Cancel;  // nobody can answer it
    PasswordPage page(password);
    const int result = page.Run(kPasswordTemplate);
    if (result == kPageFailed) return PageAnswer::Failed;
    return result == IDC_NEXT ? PageAnswer::Next : PageAnswer::Cancel;
}

}  // namespace palisade
