// The applications-to-close walk over the desktop's top-level windows, and
// the points of the installer and the uninstaller that run it.
#include "system/win32/close_applications_win32.h"

#include <windows.h>

#include <algorithm>

#include "core/format.h"
#include "core/win32/fatal.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "payload/message_catalogue.h"
#include "ui/win32/message_box_win32.h"
#include "variables/os_description.h"

namespace palisade {
namespace {

// Access rights asked for a process that is to be ended (every right of the
// older systems' definition, which later systems accept too).
constexpr DWORD kTerminateAccess = 0x1F0FFF;
// How long a window may take to answer WM_SHOWWINDOW. A hung program must not
// hang the installer with it; the message is only a courtesy.
constexpr UINT kShowWindowAnswerMilliseconds = 2000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The desktop's top-level windows, taken once: what the walk does to one
// window (a question, a closed program) must not disturb the enumeration.
std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::u16string ClassNameOf(HWND window) {
    wchar_t buffer[257] = {};
    int length = ::GetClassNameW(window, buffer, int(std::size(buffer)));
    return FromWide(std::wstring_view(buffer, std::size_t(std::max(length, 0))));
}

std::u16string TitleOf(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring buffer(std::size_t(std::max(length, 0)) + 1, L'\0');
    int copied = ::GetWindowTextW(window, buffer.data(), int(buffer.size()));
    buffer.resize(std::size_t(std::max(copied, 0)));
    return FromWide(buffer);
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

// Restores a minimised window, shows it (maximised when it is zoomed) and
// puts it in front. The window belongs to another thread, so the asynchronous
// forms are used: a program that does not answer cannot stop the run.
void BringForward(HWND window) {
    if (::IsIconic(window)) ::ShowWindowAsync(window, SW_RESTORE);
    ::ShowWindowAsync(window, ::IsZoomed(window) ? SW_SHOWMAXIMIZED : SW_SHOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_SHOWWINDOW, 1, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kShowWindowAnswerMilliseconds,
                          &ignored);
    ::SetForegroundWindow(window);
}

void TerminateOwner(HWND window) {
    UniqueHandle process(::OpenProcess(kTerminateAccess, FALSE, ProcessOf(window)));
    if (process) ::TerminateProcess(process.get(), 0);
}

std::u16string MessageOf(const CloseApplicationsSide& side, int number) {
    return side.message ? side.message(number) : std::u16string();
}

// Asks the user to close the program while its window exists. Cancel ends
// the whole run; a box that could not be shown ends the asking.
void AskUntilClosed(HWND window, const AutoCloseEntry& entry, const CloseApplicationsSide& side) {
    if (side.silent) return;
    const AutoCloseMessages& numbers = side.messages;
    while (::IsWindow(window)) {
        std::u16string text = Format(MessageOf(side, numbers.askText), {entry.applicationName});
        if (side.substitutePlaceholders) text = side.substitutePlaceholders(text);
        int answer = ShowInstallerMessage(text, MessageOf(side, numbers.askCaption),
                                          SystemMessageBoxStyle(kAskToCloseBoxStyle));
        switch (InterpretAskAnswer(answer)) {
            case AskAnswer::AskAgain: break;
            case AskAnswer::StopAsking: return;
            case AskAnswer::AbortRun:
                ShowInstallerMessage(MessageOf(side, numbers.abortText), MessageOf(side, numbers.abortCaption),
                                     SystemMessageBoxStyle(kCloseAbortedBoxStyle));
                ExitInstaller(1);
        }
    }
}

void ApplyAction(HWND window, const AutoCloseEntry& entry, const CloseApplicationsSide& side) {
    switch (entry.action) {
        case kCloseActionClose:
            BringForward(window);
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            break;
        case kCloseActionQuit:
            BringForward(window);
            ::PostMessageW(window, WM_QUIT, 0, 0);
            break;
        case kCloseActionAsk: AskUntilClosed(window, entry, side); break;
        case kCloseActionTerminate: TerminateOwner(window); break;
        default: break;  // an action this program does not know does nothing
    }
}

// The first visible, unowned top-level window of this process: the
// installer's main window once it has one.
HWND OwnMainWindow() {
    DWORD self = ::GetCurrentProcessId();
    for (HWND window : TopLevelWindows()) {
        if (ProcessOf(window) == self && ::IsWindowVisible(window) && !::GetWindow(window, GW_OWNER)) return window;
    }
    return nullptr;
}

// Lets the installer's own windows process what the walk caused, for a third
// of a second, sleeping a little longer each time the queue is empty.
void SettleOwnWindows(ProgressReporter& progress) {
    DWORD start = ::GetTickCount();
    int sleep = FirstSettleSleep();
    while (true) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= DWORD(kSettleMilliseconds)) break;
        MSG pending;
        if (::PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE)) {
            progress.PumpMessages();
            continue;
        }
        ::Sleep(std::min<DWORD>(DWORD(sleep), DWORD(kSettleMilliseconds) - elapsed));
        sleep = NextSettleSleep(sleep);
    }
    if (HWND main = OwnMainWindow()) ::SetForegroundWindow(main);
}

}  // namespace

void CloseMatchingWindows(const std::vector<AutoCloseEntry>& entries, int phase, const CloseApplicationsSide& side) {
    if (entries.empty()) return;
    const DWORD self = ::GetCurrentProcessId();
    for (HWND window : TopLevelWindows()) {
        if (!::IsWindow(window)) continue;  // gone since the list was taken
        std::u16string className = ClassNameOf(window);
        std::u16string title = TitleOf(window);
        WindowDescription description{className, title, ProcessOf(window) == self};
        std::optional<std::size_t> deciding = DecidingEntry(entries, phase, description);
        if (deciding) ApplyAction(window, entries[*deciding], side);
    }
}

void CloseApplicationsBeforeInstalling(InstallContext& context) {
    const std::vector<AutoCloseEntry>& entries = context.settings.autoCloseEntries;
    if (entries.empty()) return;
    CloseApplicationsSide side;
    side.silent = context.silent;
    side.message = [&context](int number) { return context.Message(number); };
    const InstallerSettings& settings = context.settings;
    std::u16string os = DescribeOs(context.facts.OsVersion(), 0);
    side.substitutePlaceholders = [&settings, os](std::u16string_view text) {
        return ReplacePlaceholders(text, settings.displayName, settings.productDescription, os);
    };
    side.messages = kInstallerAutoCloseMessages;
    CloseMatchingWindows(entries, kCloseBeforeInstalling, side);
    SettleOwnWindows(context.progress);
}

void CloseApplicationsInUninstaller(const std::vector<std::string>& autoCloseRows, int phase, bool silent,
                                    std::function<std::u16string(int)> message) {
    std::vector<AutoCloseEntry> entries = UninstallerAutoCloseEntries(autoCloseRows);
    CloseApplicationsSide side;
    side.silent = silent;
    side.message = std::move(message);
    side.messages = kUninstallerAutoCloseMessages;
    CloseMatchingWindows(entries, phase, side);
}

}  // namespace palisade
