// The licence and readme pages: a document (plain text in the template's
// edit control, rich text in a rich-edit control put in its place), Next and
// Cancel that scroll the document with the page keys, and the licence's
// read-to-the-end rule.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstring>

#include "core/message_numbers.h"
#include "core/win32/code_page.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"
#include "payload/settings.h"
#include "ui/document_text.h"
#include "ui/licence_gate.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/wizard_page_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

constexpr UINT_PTR kCheckTimer = 1;
constexpr UINT_PTR kFocusTimer = 2;
constexpr UINT_PTR kCaretTimer = 3;
constexpr UINT kCaretMilliseconds = 100;

struct StreamSource {
    ByteView bytes;
    std::size_t offset = 0;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    std::size_t count = std::min<std::size_t>(std::size_t(wanted), source->bytes.size - source->offset);
    std::memcpy(buffer, source->bytes.data + source->offset, count);
    source->offset += count;
    *given = LONG(count);
    return 0;
}

// Page Up, Page Down, Up and Down pressed on Next or Cancel scroll the document.
LRESULT CALLBACK ForwardScrollKeys(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR document) {
    const bool scrollKey = wParam == VK_PRIOR || wParam == VK_NEXT || wParam == VK_UP || wParam == VK_DOWN;
    if (message == WM_GETDLGCODE && lParam != 0 && scrollKey) {
        return ::DefSubclassProc(button, message, wParam, lParam) | DLGC_WANTALLKEYS;
    }
    if ((message == WM_KEYDOWN || message == WM_KEYUP) && scrollKey) {
        ::SendMessageW(HWND(document), message, wParam, lParam);
        return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(button, ForwardScrollKeys, 1);
    return ::DefSubclassProc(button, message, wParam, lParam);
}

// The document's own scrolling is reported to the page, which checks the rule at once.
LRESULT CALLBACK ReportScrolling(HWND document, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR page) {
    LRESULT result = ::DefSubclassProc(document, message, wParam, lParam);
    if (message == WM_VSCROLL || message == WM_MOUSEWHEEL || message == WM_KEYDOWN) {
        ::PostMessageW(HWND(page), WM_TIMER, kCheckTimer, 0);
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(document, ReportScrolling, 1);
    return result;
}

class DocumentPage final : public WizardPageWindow {
public:
    DocumentPage(PageKind kind, PageVariant variant, const std::vector<std::uint8_t>& document, bool readToEnd)
        : WizardPageWindow(kind, variant), m_document(document), m_gate(readToEnd) {}

private:
    bool IsLicence() const { return Kind() == PageKind::Licence; }
    HWND Document() const { return Item(IDC_DOCUMENT); }

    void SetTexts() override {
        LoadDocument();
        PageTexts texts = Wizard().Texts();
        SetText(IDC_PAGE_TEXT, texts.Message(IsLicence() ? Msg::kLicenceText : Msg::kReadmeText));
        SetText(IDC_NEXT, texts.Message(IsLicence() ? Msg::kAgreeButton : Msg::kNextButton));
        SetText(IDC_CANCEL, texts.Message(IsLicence() ? Msg::kDeclineButton : Msg::kCancelButton));
    }

    void Prepare() override {
        HWND document = Document();
        for (int id : {IDC_NEXT, IDC_CANCEL}) {
            ::SetWindowSubclass(Item(id), ForwardScrollKeys, 1, reinterpret_cast<DWORD_PTR>(document));
        }
        if (!m_gate.Required()) return;
        ::SetWindowSubclass(document, ReportScrolling, 1, reinterpret_cast<DWORD_PTR>(Handle()));
        ::EnableWindow(Item(IDC_NEXT), FALSE);
        ::SetTimer(Handle(), kCheckTimer, kLicenceCheckMilliseconds, nullptr);
        ::SetTimer(Handle(), kFocusTimer, kLicenceFocusMilliseconds, nullptr);
    }

    // The dialog's first focus selects the whole document, which puts the
    // caret, and with it the view, at its end: the reader starts at the top.
    void ComeForward() override {
        WizardPageWindow::ComeForward();
        HWND document = Document();
        ::SendMessageW(document, EM_SETSEL, 0, 0);
        ::SendMessageW(document, WM_VSCROLL, SB_TOP, 0);
    }

    void LoadDocument() {
        ByteView bytes(m_document);
        if (IsRichText(bytes)) return LoadRichText(RichTextStream(bytes));
        HWND document = Document();
        std::u16string text = PlainDocumentText(bytes);
        if (!::SetWindowTextW(document, ToWide(text).c_str())) {
            ::SetWindowTextA(document, ToAnsiCodePage(text).c_str());
        }
        RECT units{4, 8, 0, 0};
        ::MapDialogRect(Handle(), &units);
        DocumentMargins margins = DocumentInnerMargins({units.left, units.top});
        ::SendMessageW(document, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                       MAKELPARAM(margins.horizontal, margins.horizontal));
        RECT format{};
        ::SendMessageW(document, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        format.top += margins.vertical;
        format.bottom -= margins.vertical;
        ::SendMessageW(document, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
    }

    // A rich-edit control takes the edit control's place, style and tab position.
    void LoadRichText(ByteView stream) {
        static HMODULE library = LoadSystemLibraryForProcess(L"riched20.dll");
        HWND plain = Document();
        if (library == nullptr || plain == nullptr) return;
        RECT rect{};
        ::GetWindowRect(plain, &rect);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
        DWORD style = DWORD(::GetWindowLongPtrW(plain, GWL_STYLE)) | ES_MULTILINE | ES_READONLY | WS_VSCROLL;
        DWORD exStyle = DWORD(::GetWindowLongPtrW(plain, GWL_EXSTYLE));
        HWND rich = ::CreateWindowExW(exStyle, RICHEDIT_CLASSW, L"", style & ~DWORD(WS_BORDER), rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, Handle(),
                                      reinterpret_cast<HMENU>(INT_PTR(IDC_DOCUMENT)), nullptr, nullptr);
        if (rich == nullptr) return;
        ::SetWindowPos(rich, plain, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::DestroyWindow(plain);
        ::SendMessageW(rich, EM_AUTOURLDETECT, TRUE, 0);
        ::SendMessageW(rich, EM_SETEVENTMASK, 0, ENM_LINK);
        TEXTMETRICW metrics{};
        if (HDC dc = ::GetDC(rich)) {
            ::GetTextMetricsW(dc, &metrics);
            ::ReleaseDC(rich, dc);
        }
        const int margin = metrics.tmAveCharWidth / 2;
        ::SendMessageW(rich, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
        StreamSource source{stream, 0};
        EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
        ::SendMessageW(rich, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&edit));
        // One line down and back up: the control then lays out the whole view.
        ::SendMessageW(rich, EM_LINESCROLL, 0, 1);
        ::SendMessageW(rich, EM_LINESCROLL, 0, -1);
        ::SetTimer(Handle(), kCaretTimer, kCaretMilliseconds, nullptr);
    }

    void CheckScrolledToEnd() {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        std::optional<ScrollState> scroll;
        if (::GetScrollInfo(Document(), SB_VERT, &info)) {
            scroll = ScrollState{info.nPos, info.nTrackPos, false, int(info.nPage), info.nMax};
        }
        if (m_gate.OnTick(scroll)) {
            ::EnableWindow(Item(IDC_NEXT), TRUE);
            ::KillTimer(Handle(), kCheckTimer);
        }
    }

    void OpenLink(const ENLINK& link) {
        std::wstring text(std::size_t(link.chrg.cpMax - link.chrg.cpMin) + 1, L'\0');
        TEXTRANGEW range{link.chrg, text.data()};
        ::SendMessageW(link.nmhdr.hwndFrom, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        ::ShellExecuteW(Handle(), L"open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (message == WM_TIMER) {
            switch (wParam) {
                case kCheckTimer: CheckScrolledToEnd(); break;
                case kFocusTimer:
                    ::KillTimer(Handle(), kFocusTimer);
                    ::SetFocus(Document());
                    ::HideCaret(Document());
                    break;
                case kCaretTimer: ::HideCaret(Document()); break;
                default: return false;
            }
            result = TRUE;
            return true;
        }
        if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == EN_LINK) {
            const auto* link = reinterpret_cast<const ENLINK*>(lParam);
            if (link->msg == WM_LBUTTONUP) OpenLink(*link);
            result = TRUE;
            return true;
        }
        return false;
    }

    const std::vector<std::uint8_t>& m_document;
    LicenceReadGate m_gate;
};

PageAnswer RunDocumentPage(PageKind kind, PageFamily family, PageVariant variant,
                           const std::vector<std::uint8_t>& document, bool readToEnd) {
    if (Wizard().setup.silent) return PageAnswer::Next;  // a silent run shows nothing
    std::optional<std::string> name = PageTemplateName(family, variant);
    if (!name) return PageAnswer::Failed;
    DocumentPage page(kind, variant, document, readToEnd);
    int result = page.Run(*name);
    if (result == kPageFailed) return PageAnswer::Failed;
    return result == IDC_NEXT ? PageAnswer::Next : PageAnswer::Cancel;
}

}  // namespace

PageAnswer ShowLicencePage(const std::vector<std::uint8_t>& document) {
    const WizardSetup& setup = Wizard().setup;
    return RunDocumentPage(PageKind::Licence, PageFamily::Licence, setup.variants.licence, document,
                           (setup.installerOptions & kOptionLicenceReadToEnd) != 0);
}

PageAnswer ShowReadmePage(const std::vector<std::uint8_t>& document) {
    return RunDocumentPage(PageKind::Readme, PageFamily::Readme, Wizard().setup.variants.readme, document, false);
}

}  // namespace palisade
