// The progress operations: move the bar, set the status line, pump messages.
#include "ui/win32/progress_win32.h"

#include <commctrl.h>

#include "core/win32/wide.h"

namespace palisade {

void Win32Progress::SetProgress(int percent) {
    if (m_bar) ::PostMessageW(m_bar, PBM_SETPOS, WPARAM(percent), 0);
    PumpMessages();
}

void Win32Progress::SetStatusMessage(int message) {
    m_statusTick = ::GetTickCount();
    SetStatusText(m_message ? m_message(message) : std::u16string());
}

void Win32Progress::SetStatusText(std::u16string_view text) {
    if (m_status) ::SetWindowTextW(m_status, ToWide(text).c_str());
    PumpMessages();
}

bool Win32Progress::PumpMessages() {
    bool ended = false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT || msg.message == WM_DESTROY) ended = true;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (ended) m_endRequested = true;
    return ended || m_endRequested;
}

void Win32Progress::AttachPage(HWND page, HWND bar, HWND status) {
    m_page = page;
    m_bar = bar;
    m_status = status;
}

}  // namespace palisade
