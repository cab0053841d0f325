// The progress page and the progress operations.
#include "ui/win32/progress_win32.h"

#include <commctrl.h>

#include "core/message_numbers.h"
#include "core/win32/wide.h"
#include "ui/page_placement.h"
#include "ui/progress_page_rules.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/background_window_win32.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {

class ProgressPage final : public WizardPageWindow {
public:
    ProgressPage(bool uninstalling, std::function<void()> cancel)
        : WizardPageWindow(uninstalling ? PageKind::ProgressUninstall : PageKind::ProgressInstall,
                           Wizard().setup.variants.progress),
          m_uninstalling(uninstalling),
          m_cancel(std::move(cancel)) {}

    HWND Bar() const { return m_bar; }

    // The status line is drawn transparently: what lies under it is drawn
    // again with each new text.
    void SetStatus(std::u16string_view text) { SetText(IDC_STATUS_LINE, text); }

private:
    void SetTexts() override {
        PageTexts texts = Wizard().Texts();
        SetText(IDC_PAGE_TEXT, texts.Message(m_uninstalling ? Msg::kPleaseWaitRemoving : Msg::kPleaseWaitInstalling));
        SetText(IDC_CANCEL, texts.Message(Msg::kCancelButton));
    }

    std::initializer_list<std::pair<int, int>> RowButtons() const override {
        static const std::initializer_list<std::pair<int, int>> kRow = {{IDC_CANCEL, IDB_BUTTON_CANCEL}};
        return kRow;
    }
    bool RowCentred() const override { return ProgressCentresButtons(Variant()); }

    void Prepare() override {
        const WizardState& wizard = Wizard();
        m_bar = Item(IDC_PROGRESS_BAR);
        ::EnableWindow(Item(IDC_CANCEL), ProgressCancelEnabled(m_uninstalling, wizard.setup.settingsFlags1));
        if (ProgressEnlargesText(Variant())) EnlargePageText();
        Place();
    }

    void EnlargePageText() {
        HWND text = Item(IDC_PAGE_TEXT);
        LOGFONTW font{};
        HFONT current = HFONT(::SendMessageW(text, WM_GETFONT, 0, 0));
        if (text == nullptr || current == nullptr || !::GetObjectW(current, sizeof(font), &font)) return;
        font.lfHeight = EnlargedFontHeight(font.lfHeight);
        m_enlargedFont.reset(::CreateFontIndirectW(&font));
        if (m_enlargedFont) ::SendMessageW(text, WM_SETFONT, WPARAM(m_enlargedFont.get()), TRUE);
    }

    // By the position code, inside the whole screen when the background is
    // maximised, else inside the work area; code 0 keeps the centred place.
    void Place() {
        HWND background = Wizard().background;
        RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        if (background == nullptr || !::IsZoomed(background)) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        RECT page{};
        ::GetWindowRect(Handle(), &page);
        Rect placed = PlaceProgressPage({page.left, page.top, page.right, page.bottom},
                                        {area.left, area.top, area.right, area.bottom},
                                        Wizard().setup.progressPosition);
        ::SetWindowPos(Handle(), nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Only a click on Cancel itself asks; Escape's command has no control
    // and is not the Cancel button's, so it does nothing.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (message == WM_QUERYENDSESSION) {
            // A shutdown would leave a half-done installation.
            ::SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, FALSE);
            result = TRUE;
            return true;
        }
        if (message != WM_COMMAND) return false;
        const int id = LOWORD(wParam);
        if (id == IDC_CANCEL && lParam != 0 && HIWORD(wParam) == BN_CLICKED) AskToCancel();
        result = TRUE;
        return id == IDC_CANCEL || id == IDCANCEL || id == IDOK;
    }

    void AskToCancel() {
        if (!ProgressCancelEnabled(m_uninstalling, Wizard().setup.settingsFlags1) || m_asking) return;
        m_asking = true;
        PageTexts texts = Wizard().Texts();
        bool cancel = AskYesNo(texts.Message(Msg::kCancelQuestion), texts.Message(Msg::kSetupCaption));
        m_asking = false;
        if (cancel && m_cancel) m_cancel();
    }

    void OnDestroyed() override {
        m_bar = nullptr;
        m_enlargedFont.reset();
    }

    bool m_uninstalling;
    std::function<void()> m_cancel;
    HWND m_bar = nullptr;
    UniqueGdiObject m_enlargedFont;
    bool m_asking = false;
};

Win32Progress::Win32Progress(std::function<std::u16string(int)> message) : m_message(std::move(message)) {}

Win32Progress::~Win32Progress() = default;

void Win32Progress::ShowPage(bool uninstalling, std::function<void()> cancel) {
    const WizardSetup& setup = Wizard().setup;
    if (m_page || !ProgressPageShown(setup.settingsFlags2, setup.silent)) return;
    std::optional<std::string> name = PageTemplateName(PageFamily::Progress, setup.variants.progress);
    auto page = std::make_unique<ProgressPage>(uninstalling, std::move(cancel));
    // A page that cannot be made leaves the updates to pumping messages.
    if (name && page->Create(*name)) m_page = std::move(page);
    PumpMessages();
}

void Win32Progress::SetProgress(int percent) {
    if (m_page && m_page->Bar() && percent != m_postedPercent) {
        ::PostMessageW(m_page->Bar(), PBM_SETPOS, WPARAM(percent), 0);
        m_postedPercent = percent;
    }
    PumpWhenDue();
}

void Win32Progress::SetStatusMessage(int message) {
    m_statusTick = ::GetTickCount();
    std::u16string text = m_message ? m_message(message) : std::u16string();
    if (m_page && m_page->Handle()) m_page->SetStatus(text);
    // A catalogue message starts a step that may take long: it is painted now.
    PumpMessages();
}

void Win32Progress::SetStatusText(std::u16string_view text) {
    if (m_page && m_page->Handle()) m_page->SetStatus(text);
    PumpWhenDue();
}

// Each pump asks the window system for messages once more; a walk over
// thousands of small files reports far more often than a page repaints, and
// under Wine those requests cost as much as writing the file.
void Win32Progress::PumpWhenDue() {
    constexpr DWORD kPumpIntervalMs = 15;
    DWORD now = ::GetTickCount();
    if (m_pumpedOnce && now - m_pumpTick < kPumpIntervalMs) return;
    m_pumpedOnce = true;
    m_pumpTick = now;
    PumpMessages();
}

bool Win32Progress::PumpMessages() {
    bool ended = false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || msg.message == WM_DESTROY) ended = true;
        HWND page = m_page ? m_page->Handle() : nullptr;
        if (page && ::IsDialogMessageW(page, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (ended) m_endRequested = true;
    return ended || m_endRequested;
}

// Only paint messages are taken from the queue; the peek itself answers the
// messages other threads send, and it is what tells the system the program
// still answers (a window left unpolled for a few seconds is shown as not
// responding). A window that never validates itself would be painted again
// and again, so the loop stops after a few rounds.
void Win32Progress::KeepPainted() {
    constexpr int kMostPaints = 32;
    MSG msg;
    for (int round = 0; round < kMostPaints && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++round) {
        ::DispatchMessageW(&msg);
    }
}

}  // namespace palisade
