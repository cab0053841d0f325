// Running a page and the handling every page shares.
#include "ui/win32/wizard_page_win32.h"

#include <commctrl.h>

#include <vector>

#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "ui/dialog_template.h"
#include "ui/page_colours.h"
#include "ui/page_placement.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/background_window_win32.h"
#include "ui/win32/button_pictures_win32.h"
#include "ui/win32/gdi_text_win32.h"
#include "ui/win32/picture_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

constexpr std::uint32_t kCustomPageIcon = 0x100000;  // `SettingsFlags2`: pages carry the installer's icons
constexpr int kDialogMarginUnits = 4;               // horizontal dialog units between a button and the edge
constexpr int kBrowsePictureUnits = 10;             // the Browse picture's side in dialog units
// In an automatic run a page presses its own Next this long after it was shown.
constexpr UINT_PTR kAutomaticTimer = 0xA070;
constexpr UINT kAutomaticMilliseconds = 700;

// A page template from the resources, as a copy with the installer's dialog
// font when it sets one; nothing when the resource is missing.
std::optional<std::vector<DWORD>> LoadPageTemplate(const std::string& name) {
    HINSTANCE instance = Process().instance;
    std::wstring wideName(name.begin(), name.end());
    HRSRC found = ::FindResourceW(instance, wideName.c_str(), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return std::nullopt;
    ByteView original(static_cast<const std::uint8_t*>(bytes), ::SizeofResource(instance, found));
    const BackgroundSettings& background = Wizard().setup.background;
    std::optional<std::vector<std::uint8_t>> copy =
        WithDialogFont(original, background.dialogFontFace, background.dialogFontPoints);
    ByteView chosen = copy ? ByteView(*copy) : original;
    // Templates start on a 4-byte boundary.
    std::vector<DWORD> aligned((chosen.size + 3) / 4);
    std::copy(chosen.data, chosen.data + chosen.size, reinterpret_cast<std::uint8_t*>(aligned.data()));
    return aligned;
}

Rect ClientRectOf(HWND control, HWND page) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The side and banner pictures and the white panel are drawn by the page
// under everything else (see PaintBackground); the controls themselves
// paint nothing, so that they never cover the texts in front of them.
LRESULT CALLBACK PaintNothing(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: ::ValidateRect(control, nullptr); return 0;
        case WM_NCDESTROY: ::RemoveWindowSubclass(control, PaintNothing, 1); break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

LRESULT CALLBACK KeepBackground(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(control, KeepBackground, 1);
    return ::DefSubclassProc(control, message, wParam, lParam);
}

// The client area of a control in the page's client coordinates.
std::optional<Rect> ControlClient(HWND page, int id) {
    HWND control = ::GetDlgItem(page, id);
    RECT rect{};
    if (control == nullptr || !::GetClientRect(control, &rect)) return std::nullopt;
    ::MapWindowPoints(control, page, reinterpret_cast<POINT*>(&rect), 2);
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

int WizardPageWindow::Run(const std::string& templateName) {
    WizardState& wizard = Wizard();
    if (!wizard.OnMainThread()) return kPageFailed;
    std::optional<std::vector<DWORD>> bytes = LoadPageTemplate(templateName);
    if (!bytes) return kPageFailed;
    INT_PTR result = ::DialogBoxIndirectParamW(Process().instance, reinterpret_cast<LPCDLGTEMPLATEW>(bytes->data()),
                                               wizard.background, Procedure, reinterpret_cast<LPARAM>(this));
    return result == -1 ? kPageFailed : int(result);
}

bool WizardPageWindow::Create(const std::string& templateName) {
    WizardState& wizard = Wizard();
    if (!wizard.OnMainThread()) return false;
    std::optional<std::vector<DWORD>> bytes = LoadPageTemplate(templateName);
    if (!bytes) return false;
    m_modeless = true;
    HWND page = ::CreateDialogIndirectParamW(Process().instance, reinterpret_cast<LPCDLGTEMPLATEW>(bytes->data()),
                                             wizard.background, Procedure, reinterpret_cast<LPARAM>(this));
    return page != nullptr;
}

INT_PTR CALLBACK WizardPageWindow::Procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<WizardPageWindow*>(lParam);
        ::SetWindowLongPtrW(page, DWLP_USER, lParam);
        self->m_page = page;
        self->Initialise();
        return TRUE;
    }
    auto* self = reinterpret_cast<WizardPageWindow*>(::GetWindowLongPtrW(page, DWLP_USER));
    return self ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR WizardPageWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const HWND control = reinterpret_cast<HWND>(lParam);
            if (id == IDM_COME_FORWARD && control == nullptr) {
                ComeForward();
            } else if ((id == IDC_NEXT || id == IDC_CANCEL) && control != nullptr && HIWORD(wParam) == BN_CLICKED) {
                End(id);
            } else if (id == IDCANCEL && Item(IDC_CANCEL) && ::IsWindowEnabled(Item(IDC_CANCEL))) {
                End(IDC_CANCEL);  // Escape and the Close item mean Cancel
            } else {
                OnCommand(id, HIWORD(wParam), control);
            }
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            std::optional<INT_PTR> brush = ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            return brush.value_or(FALSE);
        }
        case WM_TIMER:
            if (wParam != kAutomaticTimer) return FALSE;
            ::KillTimer(m_page, kAutomaticTimer);
            AdvanceAutomatically();
            return TRUE;
        case WM_CTLCOLORDLG:
            return Wizard().pageBrush ? reinterpret_cast<INT_PTR>(Wizard().pageBrush.get()) : FALSE;
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            ::SetWindowLongPtrW(m_page, DWLP_MSGRESULT, 1);
            return TRUE;
        case WM_DESTROY: {
            WizardState& wizard = Wizard();
            if (wizard.topPage == m_page) wizard.topPage = m_previousTop;
            return FALSE;
        }
        case WM_NCDESTROY:
            m_page = nullptr;
            OnDestroyed();
            return FALSE;
        default:
            return FALSE;
    }
}

bool WizardPageWindow::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

std::initializer_list<std::pair<int, int>> WizardPageWindow::RowButtons() const {
    static const std::initializer_list<std::pair<int, int>> kRow = {{IDC_NEXT, IDB_BUTTON_NEXT},
                                                                   {IDC_CANCEL, IDB_BUTTON_CANCEL}};
    return kRow;
}

void WizardPageWindow::Initialise() {
    WizardState& wizard = Wizard();
    m_previousTop = wizard.topPage;
    wizard.topPage = m_page;
    ::EnableMenuItem(::GetSystemMenu(m_page, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    const InstallerProcess& process = Process();
    if (wizard.setup.settingsFlags2 & kCustomPageIcon) {
        ::SendMessageW(m_page, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(process.largeIcon));
        ::SendMessageW(m_page, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(process.smallIcon));
    }
    Centre();
    SetTexts();
    ArrangeButtons();
    Decorate();
    SetUpPictures();
    ::InvalidateRect(m_page, nullptr, TRUE);
    Prepare();
    if (wizard.setup.automatic) ::SetTimer(m_page, kAutomaticTimer, kAutomaticMilliseconds, nullptr);
    ::PostMessageW(m_page, WM_COMMAND, IDM_COME_FORWARD, 0);
}

void WizardPageWindow::Centre() {
    RECT area = CentringArea();
    RECT page{};
    ::GetWindowRect(m_page, &page);
    Rect placed = CentredOn({area.left, area.top, area.right, area.bottom},
                            {page.right - page.left, page.bottom - page.top});
    ::SetWindowPos(m_page, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WizardPageWindow::ComeForward() { ::SetForegroundWindow(m_page); }

void WizardPageWindow::AdvanceAutomatically() {
    if (HWND next = Item(IDC_NEXT)) ::SendMessageW(m_page, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), LPARAM(next));
}

void WizardPageWindow::End(int code) {
    if (m_modeless) {
        ::DestroyWindow(m_page);
    } else {
        ::EndDialog(m_page, code);
    }
}

void WizardPageWindow::SetText(int id, std::u16string_view text) {
    HWND control = Item(id);
    if (control == nullptr) return;
    ::SetWindowTextW(control, ToWide(text).c_str());
    StaticColours colours = ColoursForStatic(id, m_variant, Wizard().setup.background);
    if (colours.transparent) {
        // Nothing under a transparent text is erased by the control itself.
        Rect rect = ClientRectOf(control, m_page);
        RECT redraw{rect.left, rect.top, rect.right, rect.bottom};
        ::RedrawWindow(m_page, &redraw, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

std::u16string WizardPageWindow::ItemText(int id) const {
    HWND control = Item(id);
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(std::size_t(length) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(control, text.data(), length + 1)));
    return FromWide(text);
}

void WizardPageWindow::SetUpBrowse(const std::u16string& caption) {
    const bool pictures = Wizard().ButtonPictures();
    SetText(IDC_BROWSE, pictures ? u" " + caption : caption);
    if (!pictures) return;
    RECT side{0, 0, kBrowsePictureUnits, kBrowsePictureUnits};
    ::MapDialogRect(m_page, &side);
    (void)SetButtonPicture(Item(IDC_BROWSE), IDB_BUTTON_BROWSE, side.bottom);
}

void WizardPageWindow::SetCaption(std::u16string_view text) { ::SetWindowTextW(m_page, ToWide(text).c_str()); }

void WizardPageWindow::ArrangeButtons() {
    RECT client{};
    ::GetClientRect(m_page, &client);
    RECT margin{kDialogMarginUnits, 0, 0, 0};
    ::MapDialogRect(m_page, &margin);
    ButtonRowMetrics metrics;
    metrics.clientWidth = client.right;
    metrics.dialogMargin = margin.left;
    metrics.borderWidth = ::GetSystemMetrics(SM_CXEDGE);
    metrics.pictures = Wizard().ButtonPictures();
    metrics.centred = RowCentred();

    std::vector<std::pair<HWND, int>> shown;
    std::vector<RowButton> row;
    ScreenDc dc;
    for (const auto& [id, picture] : RowButtons()) {
        HWND button = Item(id);
        if (button == nullptr) continue;
        wchar_t text[256] = {};
        ::GetWindowTextW(button, text, 256);
        std::u16string caption = FromWide(text);
        if (metrics.pictures) caption.insert(0, u" ");
        HFONT font = HFONT(::SendMessageW(button, WM_GETFONT, 0, 0));
        row.push_back({ClientRectOf(button, m_page), CaptionWidth(dc.get(), font, caption)});
        shown.emplace_back(button, picture);
    }
    std::vector<Rect> placed = ArrangeButtonRow(row, metrics);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const Rect& rect = placed[i];
        ::SetWindowPos(shown[i].first, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (metrics.pictures) SetButtonPicture(shown[i].first, shown[i].second, ButtonPictureSide(rect.Height()));
    }
}

void WizardPageWindow::Decorate(const std::optional<std::u16string>& bannerLine1) {
    PageDecoration decoration = DecoratePage(m_kind, m_variant, Wizard().Texts(), bannerLine1);
    SetCaption(decoration.caption);
    if (decoration.bannerLine1) SetText(IDC_BANNER_LINE1, *decoration.bannerLine1);
    if (decoration.bannerLine2) SetText(IDC_BANNER_LINE2, *decoration.bannerLine2);
}

void WizardPageWindow::SetUpPictures() {
    for (int id : {IDC_SIDE_PICTURE, IDC_BANNER_PICTURE, IDC_WHITE_PANEL}) {
        if (HWND control = Item(id)) ::SetWindowSubclass(control, PaintNothing, 1, 0);
    }
    // The link is drawn transparently too: its class brush would cover the page text behind it.
    if (HWND link = Item(IDC_GREETING_LINK)) ::SetWindowSubclass(link, KeepBackground, 1, 0);
    if (!HasSidePicture(m_variant)) return;
    HWND picture = Item(IDC_SIDE_PICTURE);
    PictureFrame frame = SidePictureFrame(Wizard().setup.background.pictureFrameMode, m_variant);
    LONG_PTR exStyle = ::GetWindowLongPtrW(picture, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_CLIENTEDGE);
    LONG_PTR style = ::GetWindowLongPtrW(picture, GWL_STYLE) & ~LONG_PTR(WS_BORDER);
    if (frame == PictureFrame::SunkenEdge) exStyle |= WS_EX_CLIENTEDGE;
    if (frame == PictureFrame::ThinBorder) style |= WS_BORDER;
    ::SetWindowLongPtrW(picture, GWL_EXSTYLE, exStyle);
    ::SetWindowLongPtrW(picture, GWL_STYLE, style);
    ::SetWindowPos(picture, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The page's background, the white panel and the pictures stretched into
// their controls (halftone, brush origin 0,0); the texts are drawn over them.
void WizardPageWindow::PaintBackground(HDC dc) {
    RECT client{};
    ::GetClientRect(m_page, &client);
    HBRUSH brush = Wizard().pageBrush ? HBRUSH(Wizard().pageBrush.get()) : ::GetSysColorBrush(COLOR_3DFACE);
    ::FillRect(dc, &client, brush);
    if (std::optional<Rect> panel = ControlClient(m_page, IDC_WHITE_PANEL)) {
        RECT rect{panel->left, panel->top, panel->right, panel->bottom};
        ::FillRect(dc, &rect, HBRUSH(::GetStockObject(WHITE_BRUSH)));
    }
    for (auto [id, pictureId] : {std::pair{IDC_SIDE_PICTURE, IDB_SIDE_PICTURE}, std::pair{IDC_BANNER_PICTURE, IDB_BANNER_PICTURE}}) {
        std::optional<Rect> rect = ControlClient(m_page, id);
        const DibPicture* picture = rect ? StubPicture(pictureId) : nullptr;
        if (picture) StretchPicture(dc, *picture, *rect, SRCCOPY, HALFTONE);
    }
}

// Transparent texts draw over what the page painted beneath them (its
// background, the panel, the pictures), so they never cover another
// control; the others fill their rectangle with their own brush.
std::optional<INT_PTR> WizardPageWindow::ColourStatic(HDC dc, HWND control) {
    const WizardState& wizard = Wizard();
    StaticColours colours = ColoursForStatic(::GetDlgCtrlID(control), m_variant, wizard.setup.background);
    const bool system = colours.background == StaticColours::Background::System;
    if (colours.transparent) {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, system ? ::GetSysColor(COLOR_WINDOWTEXT) : colours.text);
        return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
    }
    switch (colours.background) {
        case StaticColours::Background::White:
            ::SetTextColor(dc, colours.text);
            ::SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        case StaticColours::Background::PageBrush:
            if (!wizard.pageBrush) return std::nullopt;
            ::SetTextColor(dc, colours.text);
            ::SetBkColor(dc, wizard.setup.background.pageBackgroundColor);
            return reinterpret_cast<INT_PTR>(wizard.pageBrush.get());
        default:
            return std::nullopt;
    }
}

}  // namespace palisade
