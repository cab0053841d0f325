// Probe commands for the restore point and the shared-file counts.
#include <windows.h>

#include <cstdlib>

#include "actions/win32/file_writer_win32.h"
#include "actions/win32/shared_counts_win32.h"
#include "core/text.h"
#include "core/win32/file_system.h"
#include "payload/settings_flags.h"
#include "probe_commands.h"
#include "system/win32/restore_point_win32.h"
#include "uninstall/win32/uninstall_registration_win32.h"
#include "variables/install_context.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade::probe {
namespace {

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

// A context over the probe's own objects, as the main sequence builds it.
struct ProbeContext {
    InstallerSettings settings;
    std::uint32_t payloadFlags = 0;
    InstallationState state;
    Win32SystemFacts facts;
    InstallLog log;
    InstallationRecord record;
    SilentProgress progress;
    InstallContext context{settings, payloadFlags, state, facts, log, record, progress};
};

// `com-security`: sets up COM security once; "ok" or the failure text.
int ComSecurity(const std::vector<std::string>&, std::string& out) {
    std::u16string error;
    out = InitialiseComSecurity(error) ? "ok\n" : "failed: " + Utf8(error) + "\n";
    return 0;
}

// `restore-point DESCRIPTION`: Begin, then Commit; one line each.
int RestorePointBeginCommit(const std::vector<std::string>& args, std::string& out) {
    RestorePoint restorePoint;
    std::u16string error;
    bool begun = restorePoint.Begin(Utf8ToUtf16(args.empty() ? "Probe" : args[0]), error);
    out += begun ? "begin: ok\n" : "begin: failed: " + Utf8(error) + "\n";
    out += restorePoint.Commit() ? "commit: true\n" : "commit: false\n";
    return 0;
}

// `restore-point-logged NAME VERSION`: the installer's use of it; prints the
// run log, then the payload flags after Begin and the log after Commit.
int RestorePointLogged(const std::vector<std::string>& args, std::string& out) {
    ProbeContext probe;
    probe.settings.displayName = Utf8ToUtf16(args.size() > 0 ? args[0] : "Probe");
    probe.settings.displayVersion = Utf8ToUtf16(args.size() > 1 ? args[1] : "");
    probe.payloadFlags = PayloadFlags::kRestorePoint | 0x20;
    RestorePoint restorePoint;
    BeginRestorePoint(probe.context, restorePoint);
    out += probe.log.runLog.Bytes();
    out += "flags: " + std::to_string(probe.payloadFlags) + "\n";
    probe.log.runLog.Clear();
    CommitRestorePoint(probe.context, restorePoint);
    out += "after commit: [" + probe.log.runLog.Bytes() + "]\n";
    return 0;
}

// `shared-counts RECORD ENTRY...`: counts the entries against the loaded
// record; prints the record, the run log and the failure list.
int SharedCounts(const std::vector<std::string>& args, std::string& out) {
    ProbeContext probe;
    probe.settings.settingsFlags1 = Flags1::kUninstaller;
    if (!args.empty()) probe.record.sharedFilesRecord = Utf8ToUtf16(args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) probe.record.sharedCountList.push_back(Utf8ToUtf16(args[i]));
    IncrementSharedCounts(probe.context);
    out += "record: " + Utf8(probe.record.sharedFilesRecord) + "\n";
    out += "log: [" + probe.log.runLog.Bytes() + "]\n";
    out += "failures: [" + Utf8(probe.log.failures.Text()) + "]\n";
    return 0;
}

// `register-uninstall NAME FOLDER`: the finish of an installation of NAME
// into FOLDER (uninstaller copied from the probe); prints the failure list.
int RegisterUninstallCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 2) return 2;
    ProbeContext probe;
    probe.settings.settingsFlags1 = Flags1::kUninstaller;
    probe.settings.uninstallEntryName = probe.settings.displayName = Utf8ToUtf16(args[0]);
    probe.settings.displayVersion = u"3.1";
    probe.settings.uninstallerFileName = u"uninstall.exe";
    probe.settings.shortcutPlacements.forUninstaller = 0;  // the registration alone, without its shortcut
    probe.settings.uninstallValues = {{"HKCU\\Software\\" + args[0] + "\\Mode", 4, u"7"}};
    probe.state.installFolder = Utf8ToUtf16(args[1]);
    probe.state.uninstallDataFolder = probe.state.installFolder + u"\\uninstall";
    (void)CreateFolderPath(probe.state.uninstallDataFolder);
    probe.record.uninstallItems.Record(probe.state.installFolder + u"\\app.exe", UninstallItemType::File);
    UninstallInputs inputs;
    inputs.installedBytes = 100;  // below 1 KiB: no size
    inputs.session = 0x1234;
    if (StepResult registered = RegisterUninstall(probe.context, inputs); registered.IsFatal()) {
        out += "fatal " + std::to_string(registered.FatalCode()) + "\n";
    }
    out += "failures: [" + Utf8(probe.log.failures.Text()) + "]\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("register-uninstall", RegisterUninstallCommand);
PALISADE_PROBE_COMMAND("com-security", ComSecurity);
PALISADE_PROBE_COMMAND("restore-point", RestorePointBeginCommit);
PALISADE_PROBE_COMMAND("restore-point-logged", RestorePointLogged);
PALISADE_PROBE_COMMAND("shared-counts", SharedCounts);

}  // namespace palisade::probe
