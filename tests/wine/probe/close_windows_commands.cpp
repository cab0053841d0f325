// Probe commands around closing running applications: the walk over the
// desktop's windows run against a window of the probe's own process.
#include <windows.h>

#include <cstdlib>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"
#include "system/win32/close_applications_win32.h"

namespace palisade::probe {
namespace {

void PumpFor(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

// `close-own-window CLASS ACTION`: opens a window of CLASS in this process,
// walks the desktop with one entry naming that class and ACTION (phase 1,
// silent), and prints "kept" or "closed". An entry that wrongly applied to the
// own process would end it (action 3) or close the window (0 and 1).
int CloseOwnWindow(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    std::wstring className = ToWide(Utf8ToUtf16(args[0]));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className.c_str();
    if (!::RegisterClassW(&windowClass)) return 3;
    HWND window = ::CreateWindowExW(0, className.c_str(), L"Probe window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 3;
    ::ShowWindow(window, SW_SHOWNORMAL);

    AutoCloseEntry entry{Utf8ToUtf16(args[0]), u"", u"Probe", std::uint8_t(std::atoi(args[1].c_str())),
                         std::uint8_t(kCloseBeforeInstalling)};
    CloseApplicationsSide side;
    side.silent = true;
    CloseMatchingWindows({entry}, kCloseBeforeInstalling, side);
    PumpFor(300);
    out = ::IsWindow(window) ? "kept" : "closed";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("close-own-window", CloseOwnWindow);

}  // namespace palisade::probe
