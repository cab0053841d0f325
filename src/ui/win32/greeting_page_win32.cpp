// The greeting page: the welcome text, the optional link, Next and Cancel;
// the plain variant is a message box.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "core/message_numbers.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "ui/message_box_model.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/message_box_dialog_win32.h"
#include "ui/win32/notify_win32.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

class GreetingPage final : public WizardPageWindow {
public:
    explicit GreetingPage(PageVariant variant) : WizardPageWindow(PageKind::Greeting, variant) {}

private:
    void SetTexts() override {
        WizardState& wizard = Wizard();
        PageTexts texts = wizard.Texts();
        SetText(IDC_PAGE_TEXT, GreetingText(Variant(), texts));
        SetText(IDC_NEXT, texts.Message(Msg::kNextButton));
        SetText(IDC_CANCEL, texts.Message(Msg::kCancelButton));
        SetUpLink(texts.Message(Msg::kSupportLink));
    }

    void SetUpLink(const std::u16string& linkText) {
        HWND link = Item(IDC_GREETING_LINK);
        if (link == nullptr) return;
        std::optional<std::u16string> markup = GreetingLinkMarkup(linkText, Wizard().setup.greetingLinkAddress);
        SetText(IDC_GREETING_LINK, markup.value_or(u""));
        if (!markup) return;
        if (Wizard().pageBrush && Variant() != PageVariant::FullSidePicture) {
            ::SetClassLongPtrW(link, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(Wizard().pageBrush.get()));
        }
        LITEM item{};
        item.mask = LIF_ITEMINDEX | LIF_STATE;
        item.iLink = 0;
        item.state = LIS_FOCUSED | LIS_ENABLED | LIS_VISITED | LIS_DEFAULTCOLORS;
        item.stateMask = item.state;
        ::SendMessageW(link, LM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
    }

    void ComeForward() override {
        WizardPageWindow::ComeForward();
        ::SetFocus(Item(IDC_NEXT));
    }

    bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
        if (message != WM_NOTIFY) return false;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_GREETING_LINK || (header->code != NM_CLICK && header->code != NM_RETURN)) return false;
        const auto* link = reinterpret_cast<const NMLINK*>(lParam);
        ::ShellExecuteW(Handle(), L"open", link->item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
        // The author learns of the click (docs/notifications-and-crash-report.md).
        NotifyEvent(Wizard().setup.linkNotifyAddress, 0);
        result = TRUE;
        return true;
    }
};

// The plain greeting: the text in the program's box with OK and Cancel.
PageAnswer PlainGreeting() {
    WizardState& wizard = Wizard();
    if (wizard.setup.silent || wizard.setup.automatic) return PageAnswer::Next;
    PageTexts texts = wizard.Texts();
    MessageBoxRequest request;
    request.text = texts.Message(Msg::kGreeting);
    request.caption = texts.Message(Msg::kGreetingCaption);
    request.flags = kBoxIconQuestion;
    request.buttons = OkCancelButtons(texts);
    if (!wizard.ButtonPictures()) {
        for (MessageBoxButton& button : request.buttons) button.picture = 0;
    }
    MessageBoxIcons icons{Process().smallIcon, nullptr};
    return ShowMessageBox(wizard.Owner(), request, icons) == kResultOk ? PageAnswer::Next : PageAnswer::Cancel;
}

}  // namespace

PageAnswer ShowGreetingPage() {
    if (Wizard().setup.silent) return PageAnswer::Next;  // a silent run shows nothing
    const PageVariant variant = Wizard().setup.variants.greeting;
    std::optional<std::string> name = PageTemplateName(PageFamily::Greeting, variant);
    if (!name) return PlainGreeting();
    GreetingPage page(variant);
    int result = page.Run(*name);
    if (result == kPageFailed) {
        ::MessageBoxW(Wizard().background, L"Failed to create the dialog.", L"Fatal Error", MB_OK);
        return PageAnswer::Cancel;
    }
    return result == IDC_NEXT ? PageAnswer::Next : PageAnswer::Cancel;
}

}  // namespace palisade
