// The installer's own message box: font, layout, template, modal loop and
// the fallback to the system's box.
#include "ui/win32/message_box_dialog_win32.h"

#include <commctrl.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "ui/message_box_layout.h"
#include "ui/message_box_template.h"
#include "ui/page_placement.h"
#include "ui/win32/button_pictures_win32.h"
#include "ui/win32/gdi_text_win32.h"

namespace palisade {
namespace {

// Asks the box whether it handles a key itself before dialog navigation does.
constexpr UINT kBoxKeyMessage = WM_APP + 1;

struct BoxFont {
    UniqueGdiObject font;
    std::u16string face;
    std::uint16_t points = 0;
    double unit = 0;  // pixels
};

// The request's face and size over the system's message font; "MS Shell Dlg 2"
// in ClearType quality at the default height when the metrics cannot be read.
BoxFont MakeBoxFont(const MessageBoxRequest& request, int pixelsPerInch) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW font{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font = metrics.lfMessageFont;
    } else {
        font.lfQuality = CLEARTYPE_QUALITY;
        font.lfCharSet = DEFAULT_CHARSET;
        std::wstring face = L"MS Shell Dlg 2";
        face.copy(font.lfFaceName, face.size());
    }
    if (!request.fontFace.empty()) {
        std::wstring face = ToWide(request.fontFace).substr(0, LF_FACESIZE - 1);
        std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
        face.copy(font.lfFaceName, face.size());
    }
    double points = request.fontPoints > 0 ? request.fontPoints : 0;
    if (points > 0) font.lfHeight = -LONG(std::lround(points * pixelsPerInch / 72));
    if (points <= 0) points = font.lfHeight != 0 ? std::abs(font.lfHeight) * 72.0 / pixelsPerInch : 9;
    BoxFont box;
    box.font.reset(::CreateFontIndirectW(&font));
    box.face = FromWide(font.lfFaceName);
    box.points = std::uint16_t(std::lround(points));
    box.unit = points * pixelsPerInch / 72;
    return box;
}

// The dialog base units of a font, measured as the dialog manager does.
Size BaseUnits(HDC dc, HFONT font) {
    SelectedObject selected(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    SIZE alphabet{};
    ::GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
    return {int((alphabet.cx / 26 + 1) / 2), int(metrics.tmHeight)};
}

Rect WorkAreaOf(HWND owner) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && ::GetMonitorInfoW(monitor, &info)) {
        return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    }
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

LPCWSTR StandardIcon(std::uint32_t type) {
    switch (type) {
        case kBoxIconStop: return IDI_HAND;
        case kBoxIconQuestion: return IDI_QUESTION;
        case kBoxIconExclamation: return IDI_EXCLAMATION;
        default: return IDI_ASTERISK;
    }
}

// Everything the running box needs.
struct BoxRun {
    MessageBoxRequest* request = nullptr;
    const std::vector<MessageBoxButton>* buttons = nullptr;
    const MessageBoxLayout* layout = nullptr;
    const MessageBoxIcons* icons = nullptr;
    HFONT font = nullptr;
    HWND owner = nullptr;
    Rect workArea;
    bool done = false;
    int result = kResultCancel;
};

void PlaceControl(HWND box, std::uint32_t id, const Rect& rect) {
    if (HWND control = ::GetDlgItem(box, int(id))) {
        ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Gives the box its exact size and every control its exact place: the
// template's dialog units were rounded up.
void PlaceEverything(HWND box, const BoxRun& run) {
    const MessageBoxLayout& layout = *run.layout;
    RECT frame{0, 0, layout.client.width, layout.client.height};
    ::AdjustWindowRectEx(&frame, DWORD(::GetWindowLongPtrW(box, GWL_STYLE)), FALSE,
                         DWORD(::GetWindowLongPtrW(box, GWL_EXSTYLE)));
    const Size size{frame.right - frame.left, frame.bottom - frame.top};
    std::optional<Rect> ownerRect;
    RECT owned{};
    if (run.owner && ::IsWindowVisible(run.owner) && !::IsIconic(run.owner) && ::GetWindowRect(run.owner, &owned)) {
        ownerRect = Rect{owned.left, owned.top, owned.right, owned.bottom};
    }
    const Rect placed = PlaceMessageBox(size, ownerRect, run.workArea, run.request->position);
    ::SetWindowPos(box, nullptr, placed.left, placed.top, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (layout.icon) PlaceControl(box, kBoxIconId, *layout.icon);
    PlaceControl(box, kBoxTextId, layout.text);
    if (layout.footer) PlaceControl(box, kBoxFooterId, *layout.footer);
    for (std::size_t i = 0; i < run.buttons->size() && i < layout.buttons.size(); ++i) {
        PlaceControl(box, std::uint32_t((*run.buttons)[i].resultId), layout.buttons[i]);
    }
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    ::SendMessageW(child, WM_SETFONT, WPARAM(font), FALSE);
    return TRUE;
}

void InitialiseBox(HWND box, BoxRun& run) {
    const MessageBoxRequest& request = *run.request;
    const std::vector<MessageBoxButton>& buttons = *run.buttons;
    if (run.icons->window) ::SendMessageW(box, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(run.icons->window));
    if (CloseDisabled(request.flags, buttons.size())) {
        ::EnableMenuItem(::GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    ::EnumChildWindows(box, SetFontOnChild, reinterpret_cast<LPARAM>(run.font));
    PlaceEverything(box, run);
    if (run.layout->icon) {
        HICON icon = request.hasCustomIcon && run.icons->custom
                         ? run.icons->custom
                         : ::LoadIconW(nullptr, StandardIcon(IconType(request.flags).value_or(kBoxIconInformation)));
        ::SendDlgItemMessageW(box, int(kBoxIconId), STM_SETICON, WPARAM(icon), 0);
    }
    for (const MessageBoxButton& button : buttons) {
        if (button.picture > 0) {
            SetButtonPicture(::GetDlgItem(box, button.resultId), button.picture, run.layout->picture.width);
        }
    }
    if (run.layout->footer) {
        ::CheckDlgButton(box, int(kBoxFooterId), request.footerChecked ? BST_CHECKED : BST_UNCHECKED);
    }
    if (request.flags & kBoxTopmost) ::SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const MessageBoxButton& defaultButton = buttons[DefaultButtonIndex(request.flags, buttons.size())];
    ::SetFocus(::GetDlgItem(box, defaultButton.resultId));
    ::SetForegroundWindow(box);
    BOOL soundsOn = FALSE;
    std::optional<std::uint32_t> iconType = IconType(request.flags);
    if ((request.flags & kBoxPlaySound) && iconType && ::SystemParametersInfoW(SPI_GETBEEP, 0, &soundsOn, 0) && soundsOn) {
        ::MessageBeep(*iconType);  // the icon types are the system's sound types
    }
}

void EndBox(HWND box, BoxRun& run, int result) {
    if (run.done) return;
    run.done = true;
    run.result = result;
    if (run.layout->footer) run.request->footerChecked = ::IsDlgButtonChecked(box, int(kBoxFooterId)) == BST_CHECKED;
    // The owner comes back before the box goes, so that it gets the activation.
    if (run.owner) ::EnableWindow(run.owner, TRUE);
    ::DestroyWindow(box);
}

bool IsButton(const BoxRun& run, int id) {
    for (const MessageBoxButton& button : *run.buttons) {
        if (button.resultId == id) return true;
    }
    return false;
}

// Escape and the Close item: nothing when the Close item is disabled (a lone
// button among them); otherwise Cancel, or No in a box without Cancel (the
// answer that changes nothing), or nothing when the box has neither.
void OnCancelCommand(HWND box, BoxRun& run) {
    if (CloseDisabled(run.request->flags, run.buttons->size())) return;
    if (IsButton(run, kResultCancel)) return EndBox(box, run, kResultCancel);
    if (IsButton(run, kResultNo)) EndBox(box, run, kResultNo);
}

// Ctrl+C (and Ctrl+Insert) copies the caption and the text, as the system's box does.
bool HandleKey(HWND box, const BoxRun& run, WPARAM key) {
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    if (!control || (key != 'C' && key != VK_INSERT)) return false;
    std::wstring text = ToWide(run.request->caption + u"\r\n\r\n" + run.request->text + u"\r\n");
    if (!::OpenClipboard(box)) return true;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (void* locked = memory ? ::GlobalLock(memory) : nullptr) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(locked));
        ::GlobalUnlock(memory);
        if (!::SetClipboardData(CF_UNICODETEXT, memory)) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return true;
}

INT_PTR CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(box, DWLP_USER, lParam);
        InitialiseBox(box, *reinterpret_cast<BoxRun*>(lParam));
        return FALSE;  // the focus is set
    }
    auto* run = reinterpret_cast<BoxRun*>(::GetWindowLongPtrW(box, DWLP_USER));
    if (run == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (lParam != 0 && HIWORD(wParam) == BN_CLICKED && IsButton(*run, id)) {
                EndBox(box, *run, id);
            } else if (id == IDCANCEL) {
                OnCancelCommand(box, *run);
            }
            return TRUE;
        }
        case WM_CLOSE:
            OnCancelCommand(box, *run);
            return TRUE;
        case kBoxKeyMessage:
            ::SetWindowLongPtrW(box, DWLP_MSGRESULT, HandleKey(box, *run, wParam) ? 1 : 0);
            return TRUE;
        default:
            return FALSE;
    }
}

// Takes messages until the box ends: key presses go to the box first, then
// to dialog navigation, then to their windows. A quit message ends the loop
// and is posted again for the loop that owns the thread.
void RunModalLoop(HWND box, BoxRun& run) {
    MSG msg;
    while (!run.done) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            EndBox(box, run, kResultCancel);
            ::PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got == -1) break;
        if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && (msg.hwnd == box || ::IsChild(box, msg.hwnd)) &&
            ::SendMessageW(box, kBoxKeyMessage, msg.wParam, msg.lParam) != 0) {
            continue;
        }
        if (::IsWindow(box) && ::IsDialogMessageW(box, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

int RunMessageBoxDialog(HWND owner, MessageBoxRequest& request, const MessageBoxIcons& icons) {
    const std::vector<MessageBoxButton> buttons = WithStandardCaptions(ButtonsFor(request));
    ScreenDc screen;
    if (screen.get() == nullptr) return kResultNoWindow;
    const int pixelsPerInch = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    BoxFont font = MakeBoxFont(request, pixelsPerInch);
    if (!font.font) return kResultNoWindow;
    HFONT hfont = HFONT(font.font.get());

    MessageBoxMetrics metrics;
    metrics.unit = font.unit;
    const Rect workArea = WorkAreaOf(owner);
    metrics.workAreaWidth = workArea.Width();
    metrics.systemIcon = {::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)};
    metrics.checkGlyph = {::GetSystemMetrics(SM_CXMENUCHECK), ::GetSystemMetrics(SM_CYMENUCHECK)};
    MessageBoxMeasures measures;
    HDC dc = screen.get();
    measures.wrappedText = [dc, hfont](std::u16string_view text, int width) { return WrappedTextSize(dc, hfont, text, width); };
    measures.captionWidth = [dc, hfont](std::u16string_view caption) { return CaptionWidth(dc, hfont, caption); };
    const MessageBoxLayout layout = LayoutMessageBox(request, buttons, metrics, measures);

    MessageBoxTemplateInput input{&request, &buttons, &layout, font.face, font.points, BaseUnits(dc, hfont)};
    std::vector<std::uint8_t> bytes = WriteDialogTemplate(MessageBoxDialog(input));
    // A dialog template must start on a 4-byte boundary.
    std::vector<DWORD> aligned((bytes.size() + 3) / 4);
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(aligned.data()));

    BoxRun run{&request, &buttons, &layout, &icons, hfont, owner, workArea};
    HWND box = ::CreateDialogIndirectParamW(Process().instance, reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()),
                                            owner, BoxProcedure, reinterpret_cast<LPARAM>(&run));
    if (box == nullptr) return kResultNoWindow;
    if (owner) ::EnableWindow(owner, FALSE);
    RunModalLoop(box, run);
    if (owner) ::EnableWindow(owner, TRUE);
    return run.result;
}

int ShowSystemMessageBox(HWND owner, const MessageBoxRequest& request) {
    int answer = ::MessageBoxW(owner, ToWide(request.text).c_str(), ToWide(request.caption).c_str(),
                               UINT(SystemBoxType(request)));
    return ResultFromSystemBox(request.flags, answer);
}

int ShowMessageBox(HWND owner, MessageBoxRequest& request, const MessageBoxIcons& icons) {
    int result = RunMessageBoxDialog(owner, request, icons);
    return result != kResultNoWindow ? result : ShowSystemMessageBox(owner, request);
}

}  // namespace palisade
