// Process start: the steps run before the payload is read.
#include "startup/win32/startup.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "core/format.h"
#include "core/program_narrow.h"
#include "core/win32/debug_output.h"
#include "core/win32/wide.h"
#include "startup/fatal_texts.h"
#include "startup/win32/fatal.h"
#include "startup/win32/process_state.h"
#include "uninstall/win32/self_removal_win32.h"
#include "uninstall/win32/uninstaller_win32.h"

namespace palisade {

namespace {

void EnableTakeOwnershipPrivilege() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken)) return;
    UniqueHandle token(rawToken);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(nullptr, L"SeTakeOwnershipPrivilege", &privileges.Privileges[0].Luid)) {
        ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
}

LONG WINAPI UnhandledExceptionFilterHook(EXCEPTION_POINTERS* info) {
    // The crash report takes over here once it is part of the program; until
    // then the fault is at least visible to a debug viewer.
    WriteDebugOutput(Format(u"Unhandled exception 0x%08X at 0x%08X",
                            {unsigned(info->ExceptionRecord->ExceptionCode),
                             unsigned(reinterpret_cast<std::uintptr_t>(info->ExceptionRecord->ExceptionAddress))}));
    return EXCEPTION_CONTINUE_SEARCH;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info)) Process().monitorWorkAreas.push_back(info.rcWork);
    return TRUE;
}

std::int64_t StartTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    std::uint64_t value = (std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return std::int64_t(value & ~(std::uint64_t(1) << 63));
}

std::string ToAnsiCodePage(std::u16string_view text) {
    if (text.empty()) return {};
    std::wstring wide = ToWide(text);
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, "?", nullptr);
    std::string out(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), size, "?", nullptr);
    }
    return out;
}

void ParseProcessCommandLine() {
    InstallerProcess& process = Process();
    std::u16string line = FromWide(::GetCommandLineW());
    CommandLineResult parsed = ParseCommandLine(SkipProgramPath(line), ToAnsiCodePage);
    process.options = std::move(parsed.options);
    process.installPathOverrideNarrow = EncodeProgramNarrow(process.options.installPathOverride);
    if (parsed.usageComplaint) ShowUsage(*parsed.usageComplaint);
}

[[noreturn]] void HandOverToUninstaller() {
    const std::u16string& product = Process().options.uninstallProductName;
    if (product.empty()) ShowUsage(u"Product name required");
    if (std::optional<UninstalledProduct> removed = RunUninstaller(product)) {
        SendUninstallNotification(removed->notifyUrl);
        WriteSelfRemovalScript(removed->installFolder, removed->uninstallSubdir);
    }
    ExitInstaller(0);
}

SetupSection LocatePayload(const OwnExecutable& executable) {
    SectionLookup lookup = LocateSetupSection(executable.file);
    if (auto* error = std::get_if<SectionError>(&lookup)) FatalError(error->code);
    if (std::holds_alternative<NoSetupSection>(lookup)) FatalNarrow(kNoInstallationDataText);
    SetupSection section = std::get<SetupSection>(lookup);
    if (!executable.file.Seek(section.rawPosition)) FatalError(10);
    return section;
}

}  // namespace

SetupSection StartProcess(HINSTANCE instance, const OwnExecutable*& executableOut) {
    InstallerProcess& process = Process();
    process.caption = kApplicationCaption;
    process.oleInitialised = SUCCEEDED(::OleInitialize(nullptr));
    EnableTakeOwnershipPrivilege();
    ::SetUnhandledExceptionFilter(UnhandledExceptionFilterHook);
    ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, 0);
    process.instance = instance;
    process.startTime = StartTime();
    process.largeIcon = HICON(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    process.smallIcon = HICON(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    ParseProcessCommandLine();
    if (process.options.uninstall) HandOverToUninstaller();

    static std::unique_ptr<OwnExecutable> executable;
    executable = std::make_unique<OwnExecutable>(OpenOwnExecutable());
    executableOut = executable.get();
    return LocatePayload(*executable);
}

}  // namespace palisade
