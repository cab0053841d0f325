// Process start: the steps run before the payload is read.
#include "startup/win32/startup.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "core/fatal_codes.h"
#include "core/fatal_texts.h"
#include "core/format.h"
#include "core/win32/code_page.h"
#include "core/win32/fatal.h"
#include "core/win32/known_paths.h"
#include "core/win32/privileges.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "crash/win32/crash_handler_win32.h"
#include "startup/command_line.h"
#include "ui/win32/message_box_win32.h"
#include "uninstall/win32/self_removal_win32.h"
#include "uninstall/win32/uninstaller_win32.h"

namespace palisade {

namespace {

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

std::u16string ProgramFileName() {
    std::u16string full = OwnModulePath();
    std::size_t slash = full.find_last_of(u"\\/");
    return slash == std::u16string::npos ? full : full.substr(slash + 1);
}

// Ends the run with the usage text and `complaint`.
[[noreturn]] void ShowUsage(std::u16string_view complaint) {
    FatalWide(FormatUsage(complaint, ProgramFileName()));
}

void ParseProcessCommandLine() {
    InstallerProcess& process = Process();
    std::u16string line = FromWide(::GetCommandLineW());
    CommandLineResult parsed = ParseCommandLine(SkipProgramPath(line), ToAnsiCodePage);
    process.options = std::move(parsed.options);
    if (parsed.usageComplaint) ShowUsage(*parsed.usageComplaint);
}

[[noreturn]] void HandOverToUninstaller() {
    const std::u16string& product = Process().options.uninstallProductName;
    if (product.empty()) ShowUsage(u"Product name required");
    if (std::optional<UninstalledProduct> removed = RunUninstaller(product)) {
        SendUninstallNotification(removed->notifyUrl);
        WriteSelfRemovalScript(removed->installFolder, removed->uninstallSubdir, removed->recordedUninstaller,
                               std::move(removed->parentFolders));
    }
    ExitInstaller(0);
}

SetupSection LocatePayload(const OwnExecutable& executable) {
    SectionLookup lookup = LocateSetupSection(executable.file);
    if (auto* error = std::get_if<SectionError>(&lookup)) FatalError(error->code);
    if (std::holds_alternative<NoSetupSection>(lookup)) FatalWide(kNoInstallationDataText);
    SetupSection section = std::get<SetupSection>(lookup);
    if (!executable.file.Seek(section.rawPosition)) FatalError(FatalCode::kSectionNotReachable);
    return section;
}

}  // namespace

SetupSection StartProcess(HINSTANCE instance, const OwnExecutable*& executableOut) {
    // First of all, so that a fault anywhere in the run gets its report.
    InstallCrashHandler(HandleCrash);
    InstallerProcess& process = Process();
    process.caption = kApplicationCaption;
    // The fatal path shows its message in the program's own box.
    process.fatalMessageBox = ShowFatalMessage;
    process.oleInitialised = SUCCEEDED(::OleInitialize(nullptr));
    (void)EnablePrivilege(SE_TAKE_OWNERSHIP_NAME);  // a failure is not reported
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
