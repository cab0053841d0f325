// The one path by which a run ends on a fatal condition, and the orderly exit.
#include "core/win32/fatal.h"

#include <windows.h>
#include <ole2.h>

#include <atomic>

#include "core/fatal_texts.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/win32/debug_output.h"
#include "core/win32/process_state.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {

namespace {

std::atomic<bool> g_fatalInProgress{false};

std::u16string ErrorCaption() {
    InstallerProcess& process = Process();
    std::u16string caption = process.message ? process.message(Msg::kErrorCaption) : std::u16string();
    return caption.empty() ? std::u16string(kDefaultErrorCaption) : caption;
}

}  // namespace

void ExitInstaller(int code) {
    // The wizard closes its background window here.
    if (std::function<void()> beforeExit = std::move(Process().beforeExit)) beforeExit();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (std::function<void()> finish = std::move(Process().finishNotifications)) finish();
    if (Process().oleInitialised) ::OleUninitialize();
    if (Process().deploymentExitCodes) code = DeploymentExitCode(Process().outcome);
    ::ExitProcess(UINT(code));
}

void FatalMessageHandler(std::u16string_view text) {
    if (g_fatalInProgress.exchange(true)) ::ExitProcess(UINT(-1));
    Process().outcome = RunOutcome::Failed;
    WriteDebugOutput(text);
    if (Process().options.silent) {
        // Nothing is shown.
    } else if (Process().fatalMessageBox) {
        Process().fatalMessageBox(text, ErrorCaption());
    } else {
        ::MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(ErrorCaption()).c_str(),
                      MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
    }
    ExitInstaller(1);
}

void FatalWide(std::u16string_view text) {
    FatalMessageHandler(TruncateFatalMessage(std::u16string(text)));
}

void FatalError(int code, Win32Status systemError) {
    InstallerProcess& process = Process();
    std::u16string messageTemplate = process.message ? process.message(Msg::kCorruptInstaller) : std::u16string();
    std::u16string text =
        FormatCorruptInstallerMessage(messageTemplate, code, systemError.code(),
                                      systemError.failed() ? SystemErrorText(systemError.code()) : u"");
    // Once the installation has its log, the message goes into it and the
    // error notification reports it.
    if (std::function<void(std::u16string_view)> onFatal = std::move(process.onFatalError)) onFatal(text);
    FatalWide(text);
}

void FatalOutOfMemory(std::size_t requestedSize) {
    // Formatting needs no heap beyond a few small strings; if even that fails
    // the guard ends the process with -1.
    FatalWide(Format(kOutOfMemoryText,
                       {u"Out of memory", kOutOfMemoryAdvice, requestedSize, requestedSize}));
}

}  // namespace palisade
