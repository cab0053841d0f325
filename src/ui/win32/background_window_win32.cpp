// The background window: its class, creation and window procedure.
#include "ui/win32/background_window_win32.h"

#include <string>

#include "core/win32/code_page.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade {
namespace {

constexpr wchar_t kClassName[] = L"SEA Window Class";
constexpr char kNarrowClassName[] = "SEA Window Class";
constexpr std::uint32_t kMaximisedBackground = 0x100;  // `SettingsFlags2`

LRESULT CALLBACK BackgroundProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            EraseBackground(window, reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            if (dc) PaintBackgroundTexts(window, dc);
            ::EndPaint(window, &paint);
            return 0;
        }
        default:
            return ::IsWindowUnicode(window) ? ::DefWindowProcW(window, message, wParam, lParam)
                                             : ::DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterWideClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BackgroundProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    registered = ::RegisterClassExW(&windowClass) != 0;
    return registered;
}

bool RegisterNarrowClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BackgroundProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kNarrowClassName;
    registered = ::RegisterClassExA(&windowClass) != 0;
    return registered;
}

HWND CreateWithClass(HINSTANCE instance, const RECT& area, DWORD style, const std::u16string& title) {
    const int width = area.right - area.left + 1;
    const int height = area.bottom - area.top + 1;
    HWND window = nullptr;
    if (RegisterWideClass(instance)) {
        window = ::CreateWindowExW(0, kClassName, ToWide(title).c_str(), style, area.left, area.top, width, height,
                                   nullptr, nullptr, instance, nullptr);
    }
    // A system without wide windows gets a narrow one, titled in its code page.
    if (window == nullptr && RegisterNarrowClass(instance)) {
        window = ::CreateWindowExA(0, kNarrowClassName, ToAnsiCodePage(title).c_str(), style, area.left, area.top,
                                   width, height, nullptr, nullptr, instance, nullptr);
    }
    return window;
}

}  // namespace

HWND CreateBackgroundWindow(HINSTANCE instance, bool startMinimised) {
    WizardSetup& setup = Wizard().setup;
    bool maximised = (setup.settingsFlags2 & kMaximisedBackground) != 0;
    RECT area{0, 0, 1, 1};
    if (!maximised && !::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        maximised = true;
        area = {0, 0, 1, 1};
    }
    if (maximised) setup.settingsFlags2 |= kMaximisedBackground;
    DWORD style = WS_POPUP | (startMinimised ? WS_MINIMIZE : 0);
    HWND window = CreateWithClass(instance, area, style, setup.background.taskbarText);
    if (window == nullptr) return nullptr;
    ::ShowWindow(window, SW_HIDE);
    ::ShowWindow(window, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    if (startMinimised) ::ShowWindow(window, SW_MINIMIZE);
    ::SetForegroundWindow(window);
    ::SetActiveWindow(window);
    ::InvalidateRect(window, nullptr, TRUE);
    const InstallerProcess& process = Process();
    if (process.largeIcon) ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(process.largeIcon));
    if (process.smallIcon) ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(process.smallIcon));
    return window;
}

RECT CentringArea() {
    RECT area{};
    HWND background = Wizard().background;
    if (background != nullptr && ::GetWindowRect(background, &area)) return area;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    return area;
}

void CloseBackgroundWindow() {
    HWND& background = Wizard().background;
    if (background == nullptr) return;
    ::ShowWindow(background, SW_MINIMIZE);
    ::DestroyWindow(background);
    background = nullptr;
}

}  // namespace palisade
