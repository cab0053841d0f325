// The "Illegal Operation" dialog that shows the crash report.
#include "crash/win32/exception_dialog_win32.h"

#include <windows.h>

#include "core/win32/clipboard.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "ui/page_variant.h"
#include "ui/resources/resource_ids.h"

namespace palisade {
namespace {

struct DialogState {
    const std::u16string* report = nullptr;
    const CrashVendor* vendor = nullptr;
    CrashAnswers answers;
};

// Created on first use and kept for the rest of the process.
HFONT ReportFont(HWND dialog) {
    static HFONT font = nullptr;
    if (font == nullptr) {
        HDC screen = ::GetDC(dialog);
        int height = -::MulDiv(10, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        ::ReleaseDC(dialog, screen);
        font = ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    }
    return font;
}

std::u16string ControlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    int length = ::GetWindowTextLengthW(control);
    std::wstring text(std::size_t(length) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(control, text.data(), length + 1)));
    return FromWide(text);
}

void CentreOnScreen(HWND dialog) {
    RECT rect{};
    ::GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    ::SetWindowPos(dialog, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Initialise(HWND dialog, DialogState& state) {
    ::SetWindowTextW(dialog, L"Illegal Operation");
    ::SetDlgItemTextW(dialog, IDC_CRASH_APOLOGY, ToWide(CrashApology(state.vendor->shortName)).c_str());
    ::SendDlgItemMessageW(dialog, IDC_CRASH_REPORT, WM_SETFONT, WPARAM(ReportFont(dialog)), TRUE);
    ::SetDlgItemTextW(dialog, IDC_CRASH_REPORT, ToWide(*state.report).c_str());
    ::EnableWindow(::GetDlgItem(dialog, IDC_CRASH_INFORM), !state.vendor->senderAddress.empty());
    CentreOnScreen(dialog);
}

INT_PTR CALLBACK ExceptionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            Initialise(dialog, *reinterpret_cast<DialogState*>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_CRASH_INFORM:
                    state->answers = {ControlText(dialog, IDC_CRASH_EMAIL), ControlText(dialog, IDC_CRASH_COMMENTS)};
                    ::EndDialog(dialog, IDC_CRASH_INFORM);
                    return TRUE;
                case IDC_CRASH_COPY:
                    (void)PutTextOnClipboard(dialog, ControlText(dialog, IDC_CRASH_REPORT));
                    return TRUE;
                case IDC_CRASH_EXIT:
                case IDCANCEL:  // the Close command of the system menu
                    ::EndDialog(dialog, IDC_CRASH_EXIT);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

std::optional<CrashAnswers> RunExceptionDialog(const std::u16string& report, const CrashVendor& vendor) {
    DialogState state;
    state.report = &report;
    state.vendor = &vendor;
    HINSTANCE instance = Process().instance ? Process().instance : ::GetModuleHandleW(nullptr);
    std::wstring name(kCrashTemplate, kCrashTemplate + sizeof(kCrashTemplate) - 1);
    INT_PTR result = ::DialogBoxParamW(instance, name.c_str(), nullptr, ExceptionDialogProc, LPARAM(&state));
    if (result != IDC_CRASH_INFORM) return std::nullopt;
    return state.answers;
}

}  // namespace palisade
