// Probe commands for the wizard's pieces that need no page template: the
// program's own message box, the system box it falls back to, the
// background window, and the progress reporter's message handling.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/text.h"
#include "core/win32/file_system.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "probe_commands.h"
#include "ui/message_box_model.h"
#include "ui/win32/message_box_dialog_win32.h"
#include "ui/win32/progress_win32.h"
#include "ui/win32/wizard_state_win32.h"

namespace palisade::probe {
namespace {

std::uint32_t Number(const std::string& text) { return std::uint32_t(std::strtoul(text.c_str(), nullptr, 0)); }

// FLAGS TEXT CAPTION [footer=TEXT] [ID:CAPTION ...]
MessageBoxRequest RequestFrom(const std::vector<std::string>& args) {
    MessageBoxRequest request;
    request.flags = Number(args[0]);
    request.text = Utf8ToUtf16(args[1]);
    request.caption = Utf8ToUtf16(args[2]);
    for (std::size_t i = 3; i < args.size(); ++i) {
        if (args[i].rfind("footer=", 0) == 0) {
            request.footerText = Utf8ToUtf16(args[i].substr(7));
            continue;
        }
        std::size_t colon = args[i].find(':');
        request.buttons.push_back({std::atoi(args[i].c_str()), Utf8ToUtf16(args[i].substr(colon + 1)), 0});
    }
    return request;
}

// Shows the program's own box; prints "result N footer 0|1".
int MessageBoxCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 3) return 2;
    Process().instance = ::GetModuleHandleW(nullptr);
    MessageBoxRequest request = RequestFrom(args);
    int result = RunMessageBoxDialog(nullptr, request);
    out = "result " + std::to_string(result) + " footer " + (request.footerChecked ? "1" : "0");
    return 0;
}

// Shows the system's box the program falls back to; prints "result N".
int SystemBoxCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 3) return 2;
    out = "result " + std::to_string(ShowSystemMessageBox(nullptr, RequestFrom(args)));
    return 0;
}

// name=value settings of the background window: top, bottom, mono, picture
// (a file), tpi, size, mode, title, titlepos, titlecolor, shadow,
// copyright, copyrightpos, copyrightcolor. The window then stays until it is
// closed; keys 0 to 4 pressed on it switch the stretch mode and repaint it.
int BackgroundCommand(const std::vector<std::string>& args, std::string& out) {
    Process().instance = ::GetModuleHandleW(nullptr);
    WizardSetup setup;
    BackgroundSettings& b = setup.background;
    for (const std::string& arg : args) {
        std::size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals), value = arg.substr(equals + 1);
        if (name == "top") b.topColor = Number(value);
        else if (name == "bottom") b.bottomColor = Number(value);
        else if (name == "mono") b.monoColor = value == "1";
        else if (name == "picture") {
            Win32Result<std::string> bytes = ReadWholeFile(Utf8ToUtf16(value), 64u << 20);
            if (bytes.ok()) b.picture.assign(bytes->begin(), bytes->end());
        } else if (name == "tpi") b.bitmapTpi = std::int32_t(std::strtol(value.c_str(), nullptr, 0));
        else if (name == "size") b.bitmapSize = std::atoi(value.c_str());
        else if (name == "mode") b.stretchMode = std::atoi(value.c_str());
        else if (name == "title") b.displayTitle = Utf8ToUtf16(value);
        else if (name == "titlepos") b.titlePosition = std::uint8_t(Number(value));
        else if (name == "titlecolor") b.titleColor = Number(value);
        else if (name == "shadow") b.titleShadow = std::uint8_t(Number(value));
        else if (name == "copyright") b.copyrightText = Utf8ToUtf16(value);
        else if (name == "copyrightpos") b.copyrightPos = std::uint8_t(Number(value));
        else if (name == "copyrightcolor") b.copyrightColor = Number(value);
    }
    StartWizard(std::move(setup));
    HWND window = Wizard().background;
    if (window == nullptr) return 1;
    MSG msg;
    while (::IsWindow(window) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == window && msg.message == WM_KEYDOWN && msg.wParam >= '0' && msg.wParam <= '4') {
            Wizard().setup.background.stretchMode = int(msg.wParam - '0');
            ::InvalidateRect(window, nullptr, TRUE);
            continue;
        }
        if (msg.hwnd == window && msg.message == WM_CLOSE) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    out = "closed";
    return 0;
}

// What a window saw of the messages KeepPainted and PumpMessages handled.
struct SeenMessages {
    int paints = 0;
    int posted = 0;
};

LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* seen = reinterpret_cast<SeenMessages*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (seen != nullptr && message == WM_PAINT) {
        ++seen->paints;
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        return 0;
    }
    if (seen != nullptr && message == WM_APP) ++seen->posted;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// `keep-painted`: a small window with a paint due and a message posted to it;
// prints what it saw after KeepPainted, and then after PumpMessages:
// "painted=P posted=N".
int KeepPaintedCommand(const std::vector<std::string>&, std::string& out) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CountingWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PalisadeProbePaint";
    if (::RegisterClassW(&windowClass) == 0) return 1;
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName, L"Probe Paint",
                                    WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    SeenMessages seen;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(&seen));
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::InvalidateRect(window, nullptr, TRUE);
    ::PostMessageW(window, WM_APP, 0, 0);
    Win32Progress progress(nullptr);
    auto report = [&] { return "painted=" + std::to_string(seen.paints) + " posted=" + std::to_string(seen.posted) + "\n"; };
    progress.KeepPainted();
    out = report();
    progress.PumpMessages();
    out += report();
    ::DestroyWindow(window);
    return 0;
}

PALISADE_PROBE_COMMAND("keep-painted", KeepPaintedCommand);
PALISADE_PROBE_COMMAND("message-box", MessageBoxCommand);
PALISADE_PROBE_COMMAND("system-box", SystemBoxCommand);
PALISADE_PROBE_COMMAND("background", BackgroundCommand);

}  // namespace
}  // namespace palisade::probe
