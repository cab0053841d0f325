// The one path by which a run ends on a fatal condition, and the orderly exit.
#include "startup/win32/fatal.h"

#include <windows.h>
#include <ole2.h>

#include <atomic>

#include "core/format.h"
#include "core/win32/debug_output.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "startup/fatal_texts.h"
#include "startup/win32/process_state.h"

namespace palisade {

namespace {

std::atomic<bool> g_fatalInProgress{false};

std::u16string ErrorCaption() {
    InstallerProcess& process = Process();
    std::u16string caption = process.message ? process.message(21) : std::u16string();
    return caption.empty() ? std::u16string(kDefaultErrorCaption) : caption;
}

std::u16string ProgramFileName() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string full = FromWide(std::wstring_view(path, length));
    std::size_t slash = full.find_last_of(u"\\/");
    return slash == std::u16string::npos ? full : full.substr(slash + 1);
}

}  // namespace

void ExitInstaller(int code) {
    // The background window and the notification worker join this sequence
    // when they exist; until then pumping and OLE are all there is to close.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (Process().oleInitialised) ::OleUninitialize();
    ::ExitProcess(UINT(code));
}

void FatalMessageHandler(std::u16string_view text) {
    if (g_fatalInProgress.exchange(true)) ::ExitProcess(UINT(-1));
    WriteDebugOutput(text);
    if (!Process().options.silent) {
        ::MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(ErrorCaption()).c_str(),
                      MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
    }
    ExitInstaller(1);
}

void FatalWide(std::u16string_view text) {
    FatalMessageHandler(TruncateFatalMessage(std::u16string(text)));
}

void FatalNarrow(std::u16string_view text) {
    if (!g_fatalInProgress.load()) Process().exitCallbacks.RunAll();
    FatalMessageHandler(TruncateFatalMessage(std::u16string(text)));
}

void FatalError(int code, bool appendSystemError) {
    DWORD systemError = appendSystemError ? ::GetLastError() : 0;
    InstallerProcess& process = Process();
    std::u16string messageTemplate = process.message ? process.message(13) : std::u16string();
    std::u16string text = FormatCorruptInstallerMessage(
        messageTemplate, code, systemError, systemError ? SystemErrorText(systemError) : u"");
    // The installation log and the error notification take the message here
    // once they exist in the run.
    FatalWide(text);
}

void ShowUsage(std::u16string_view complaint) {
    FatalWide(FormatUsage(complaint, ProgramFileName()));
}

void FatalOutOfMemory(std::size_t requestedSize) {
    // Formatting needs no heap beyond a few small strings; if even that fails
    // the guard ends the process with -1.
    FatalNarrow(Format(kOutOfMemoryText,
                       {u"Out of memory", kOutOfMemoryAdvice, requestedSize, requestedSize}));
}

}  // namespace palisade
