// The summary page: the installation is done; check boxes for what may
// follow it (run the program, open the documents, view the log), placed by
// the boxes that are shown, and the user's choices when the page closes.
#include <windows.h>

#include "core/message_numbers.h"
#include "core/win32/system_library.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

class SummaryPage final : public WizardPageWindow {
public:
    SummaryPage(PageVariant variant, const InstallerSettings& settings)
        : WizardPageWindow(PageKind::Summary, variant), m_boxes(PlanSummaryBoxes(variant, settings)) {}

    SummaryChoices Choices() const { return ChoicesFromBoxes(m_boxes); }

private:
    void SetTexts() override {
        PageTexts texts = Wizard().Texts();
        PageMessageNumbers numbers = MessagesOf(PageKind::Summary);
        SetText(IDC_PAGE_TEXT, texts.Message(numbers.text));
        SetText(IDC_NEXT, texts.Message(numbers.next));
        for (const SummaryBox& box : m_boxes) SetText(box.id, texts.Message(box.message));
    }

    std::initializer_list<std::pair<int, int>> RowButtons() const override {
        static const std::initializer_list<std::pair<int, int>> kRow = {{IDC_NEXT, IDB_BUTTON_NEXT}};
        return kRow;
    }

    void Prepare() override {
        for (const SummaryBox& box : m_boxes) PlaceBox(box);
    }

    void PlaceBox(const SummaryBox& box) {
        HWND control = Item(box.id);
        if (control == nullptr) return;
        if (!box.shown) {
            ::ShowWindow(control, SW_HIDE);
            return;
        }
        RECT rect{box.rect.left, box.rect.top, box.rect.right, box.rect.bottom};
        ::MapDialogRect(Handle(), &rect);
        ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(control, BM_SETCHECK, box.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        ::ShowWindow(control, SW_SHOW);
        // A themed box paints its own background over the page's colour.
        if (Wizard().pageBrush) SwitchThemeOff(control);
    }

    static void SwitchThemeOff(HWND control) {
        using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
        static auto setTheme =
            LibraryFunction<SetWindowThemeFunction>(LoadSystemLibraryForProcess(L"uxtheme.dll"), "SetWindowTheme");
        if (setTheme) setTheme(control, L"", L"");
    }

    void ComeForward() override {
        WizardPageWindow::ComeForward();
        ::SetFocus(Item(IDC_NEXT));
    }

    // OK, Enter and closing the page all end it with the boxes as they are.
    void OnCommand(int id, int, HWND) override {
        if (id == IDCANCEL || id == IDOK) Finish();
    }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR&) override {
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_NEXT && lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
            Finish();
            return true;
        }
        return false;
    }

    void Finish() {
        for (SummaryBox& box : m_boxes) {
            box.checked = box.shown && ::SendMessageW(Item(box.id), BM_GETCHECK, 0, 0) == BST_CHECKED;
        }
        End(1);
    }

    std::array<SummaryBox, 4> m_boxes;
};

}  // namespace

std::optional<SummaryChoices> ShowSummaryPage(const InstallerSettings& settings) {
    const PageVariant variant = Wizard().setup.variants.summary;
    std::optional<std::string> templateName = PageTemplateName(PageFamily::Summary, variant);
    if (!templateName) return std::nullopt;
    SummaryPage page(variant, settings);
    if (page.Run(*templateName) == kPageFailed) return std::nullopt;
    return page.Choices();
}

}  // namespace palisade
