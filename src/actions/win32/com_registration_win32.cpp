// Registration of COM servers and type libraries.
#include "actions/win32/com_registration_win32.h"

#include <windows.h>
#include <oleauto.h>

#include "actions/component_texts.h"
#include "actions/win32/com_server_win32.h"
#include "core/message_numbers.h"
#include "core/win32/com_ptr.h"
#include "core/win32/guarded_call.h"
#include "core/win32/message_pump.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

void RegisterComServer(const std::u16string& serverPath, InstallContext& context) {
    context.log.runLog.AppendWide(ComStartLine(serverPath));
    context.progress.SetStatusText(ComponentProgressText(context.Message(Msg::kRegisteringFile), serverPath));
    std::int32_t result = RunRegsvr32(serverPath, false);
    if (result != 0) {
        // The in-process attempt reports what it achieved; a server it cannot
        // load or without the export keeps regsvr32's answer.
        ServerEntryCall call = CallServerRegistration(serverPath, false);
        if (call.faulted) {
            context.log.runLog.AppendWide(kCrashedLine);
            context.log.failures.Append(ComCrashFailure(serverPath));
            return;
        }
        if (call.called) result = SUCCEEDED(call.result) ? 0 : call.result;
    }
    context.log.runLog.AppendWide(ComResultLine(result));
}

void RegisterTypeLibrary(const std::u16string& libraryPath, InstallContext& context) {
    context.log.runLog.AppendWide(TypeLibraryStartLine(libraryPath));
    context.progress.SetStatusText(ComponentProgressText(context.Message(Msg::kRegisteringFile), libraryPath));
    HRESULT hr = E_FAIL;
    std::wstring path = ToWide(libraryPath);
    // Owned outside the guard, so that it is released even after a fault.
    ComPtr<ITypeLib> library;
    GuardedResult guarded = RunGuarded([&] {
        hr = ::LoadTypeLib(path.c_str(), library.Put());
        // The file itself is the library's registered location.
        if (SUCCEEDED(hr)) hr = ::RegisterTypeLib(library.Get(), path.data(), nullptr);
    });
    if (guarded.faulted) {
        context.log.runLog.AppendWide(kCrashedLine);
        context.log.failures.Append(TypeLibraryCrashFailure(libraryPath));
    } else if (SUCCEEDED(hr)) {
        context.log.runLog.AppendWide(kOkLine);
    } else {
        context.log.runLog.AppendWide(TypeLibraryFailureLine(SystemErrorText(std::uint32_t(hr))));
    }
}

// Foreign registration code may have opened windows or taken the focus.
void SettleWindows(HWND activeBefore) {
    PumpWaitingMessages();
    if (activeBefore != nullptr && ::IsWindow(activeBefore)) ::SetForegroundWindow(activeBefore);
}

}  // namespace

void RegisterComServersAndTypeLibraries(InstallContext& context) {
    HWND activeBefore = ::GetActiveWindow();
    for (const std::u16string& path : context.record.comRegistrationList) RegisterComServer(path, context);
    for (const std::u16string& path : context.record.typeLibraryList) RegisterTypeLibrary(path, context);
    SettleWindows(activeBefore);
}

}  // namespace palisade
