// Registration of COM servers and type libraries.
#include "actions/win32/com_registration_win32.h"

#include <windows.h>
#include <oleauto.h>

#include "actions/component_texts.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr std::int32_t kRegsvrNotStarted = -1;

// Runs "regsvr32.exe /s" hidden in the system folder and waits for it; the
// exit code, or kRegsvrNotStarted.
std::int32_t RunRegsvr(const std::u16string& serverPath, InstallContext& context) {
    std::wstring commandLine = ToWide(RegsvrCommandLine(serverPath));
    std::wstring systemFolder = ToWide(context.facts.SystemFolder());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          systemFolder.empty() ? nullptr : systemFolder.c_str(), &startup, &started)) {
        return kRegsvrNotStarted;
    }
    UniqueHandle process(started.hProcess);
    ::CloseHandle(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = DWORD(kRegsvrNotStarted);
    ::GetExitCodeProcess(process.get(), &exitCode);
    return std::int32_t(exitCode);
}

// Loads the server and calls its DllRegisterServer; keeps `result` when the
// file cannot be loaded or has no such export. A failing call gives its
// HRESULT: the in-process attempt reports what it achieved.
GuardedResult RegisterInProcess(const std::wstring& serverPath, std::int32_t& result) {
    using RegisterServerFunction = HRESULT(WINAPI*)();
    return RunGuarded([&serverPath, &result] {
        HMODULE module = ::LoadLibraryW(serverPath.c_str());
        if (module == nullptr) return;
        auto registerServer = reinterpret_cast<RegisterServerFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module, "DllRegisterServer")));
        if (registerServer != nullptr) {
            HRESULT hr = registerServer();
            result = SUCCEEDED(hr) ? 0 : std::int32_t(hr);
        }
        ::FreeLibrary(module);
    });
}

void RegisterComServer(const std::u16string& serverPath, InstallContext& context) {
    context.log.runLog.AppendWide(ComStartLine(serverPath));
    context.progress.SetStatusText(ComponentProgressText(context.Message(kComponentProgressMessage), serverPath));
    std::int32_t result = RunRegsvr(serverPath, context);
    GuardedResult guarded;
    if (result != 0) guarded = RegisterInProcess(ToWide(serverPath), result);
    if (guarded.faulted) {
        context.log.runLog.AppendWide(kCrashedLine);
        context.log.failures.Append(ComCrashFailure(serverPath));
        return;
    }
    context.log.runLog.AppendWide(ComResultLine(result));
}

// LoadTypeLib and RegisterTypeLib with the file as the library's location.
GuardedResult LoadAndRegisterTypeLibrary(std::wstring& libraryPath, HRESULT& hr) {
    return RunGuarded([&libraryPath, &hr] {
        ITypeLib* library = nullptr;
        hr = ::LoadTypeLib(libraryPath.c_str(), &library);
        if (FAILED(hr)) return;
        hr = ::RegisterTypeLib(library, libraryPath.data(), nullptr);
        library->Release();
    });
}

void RegisterTypeLibrary(const std::u16string& libraryPath, InstallContext& context) {
    context.log.runLog.AppendWide(TypeLibraryStartLine(libraryPath));
    context.progress.SetStatusText(ComponentProgressText(context.Message(kComponentProgressMessage), libraryPath));
    HRESULT hr = E_FAIL;
    std::wstring path = ToWide(libraryPath);
    GuardedResult guarded = LoadAndRegisterTypeLibrary(path, hr);
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
    MSG message;
    for (int i = 0; i < 100 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
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
