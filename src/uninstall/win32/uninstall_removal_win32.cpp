// The removal steps of the uninstaller, in their order: uninstall batch 1,
// associations, fonts, shared files, taskbar pins, MSI packages, the
// uninstall list, pending work, registry keys, INF files, folders, PATH and
// uninstall batch 2.
#include <windows.h>

#include "actions/shared_counts.h"
#include "actions/shortcut_placement.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "actions/win32/shared_counts_win32.h"
#include "actions/win32/system_path_win32.h"
#include "core/format.h"
#include "core/text.h"
#include "core/win32/fatal.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/process_state.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/win32/install_log_win32.h"
#include "payload/settings_flags.h"
#include "ui/win32/message_box_win32.h"
#include "uninstall/conditional_delete.h"
#include "uninstall/removal_rules.h"
#include "uninstall/shared_release.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/win32/component_undo_win32.h"
#include "uninstall/win32/file_deletions_win32.h"
#include "uninstall/win32/file_removal_win32.h"
#include "uninstall/win32/registry_undo_win32.h"
#include "uninstall/win32/uninstall_run_win32.h"
#include "variables/win32/run_batch_win32.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade {
namespace {


// The running uninstaller is removed by the self-removal script, not here.
const std::u16string& OwnPath() {
    static const std::u16string path = OwnModulePath();
    return path;
}

std::vector<FileDeletion> ConditionalDeletions(const std::vector<std::string>& lines) {
    std::vector<FileDeletion> deletions;
    for (const std::string& line : lines) {
        if (std::optional<FileDeletion> deletion = ParseConditionalDeleteLine(line)) deletions.push_back(*deletion);
    }
    return deletions;
}

}  // namespace

void UninstallRun::RunUninstallBatch(const std::u16string& commands, bool hidden, const char16_t* valueName) {
    if (!commands.empty()) {
        Win32SystemFacts& facts = ProcessSystemFacts();
        const OsVersionInfo& os = facts.OsVersion();
        BatchContext batch;
        batch.automatic = Automatic();
        batch.silent = Silent();
        batch.osPlatformId = os.platformId;
        batch.osMajor = os.majorVersion;
        batch.osMinor = os.minorVersion;
        batch.expand = [this](std::u16string_view text) { return Expand(text); };
        batch.log = &m_log.runLog;
        RunBatch(ToWindows1252(commands), hidden, std::nullopt, batch);
    }
    DeleteProductEntryValue(m_entry.keyName, valueName);
}

void UninstallRun::Remove() {
    // Nothing writes this run's log to a file (Install.log goes with the
    // product), so its lines go to the debugger channel as they are written.
    ConnectRunLogToDebugger(m_log.runLog);
    RunUninstallBatch(m_entry.uninstallBatch1, (m_entry.flags1 & Flags1::kHideUninstallBatch1) != 0, u"UninstallBatch1");
    m_progress->SetProgress(3);
    RemoveAssociations(m_data.associations, m_entry.displayName);
    RemoveFonts(m_entry.productFonts, m_entry.uninstallFonts, AutomaticOrSilent(),
                [this](std::u16string_view face) {
                    return AskYesNo(Format(Message(Msg::kRemoveFontQuestion), {face}),
                                    Message(Msg::kFontCaption));
                },
                m_log);
    m_progress->SetProgress(6);
    ReleaseSharedFiles();
    UnpinTaskbarLinks();
    RemoveMsiPackages(m_data.msi, m_log);
    m_progress->SetProgress(11);
    WalkUninstallList();
    CancelPendingWork();
    RemoveProductRegistryKey(m_entry.productRegistry);
    RemoveDriverInfFiles(m_data.inf, [this](std::u16string_view text) { return Expand(text); }, m_log);
    RemoveFirewallExceptions(m_data.firewall, m_log);
    UndoRegistryEntries(m_data.registry2);
    m_progress->SetProgress(95);
    RemoveFoldersAndData();
    if ((m_entry.flags1 & Flags1::kAddToPath) != 0) {
        EditSystemPath(PathEdit::Remove, m_entry.addToPathSubfolder, m_state.installFolder, m_log.runLog);
    }
    RunUninstallBatch(m_entry.uninstallBatch2, (m_entry.flags1 & Flags1::kHideUninstallBatch2) != 0, u"UninstallBatch2");
    DeleteProductEntry(m_entry.keyName);
}

void UninstallRun::ReleaseSharedFiles() {
    std::vector<SharedEntry> entries = ParseSharedFilesRecord(m_entry.sharedFiles);
    if (entries.empty()) return;
    std::vector<SharedRelease> releases;
    {
        Win32Result<SharedDllsCounts> counts = SharedDllsCounts::Open();
        if (!counts.ok()) {
            m_log.failures.Append(kSharedKeyFailedText);
            return;
        }
        releases = ReleaseSharedCounts(entries, *counts);
    }
    DeleteProductEntryValue(m_entry.keyName, u"SharedFiles");
    for (const SharedRelease& release : releases) {
        if (!release.reachedZero) continue;
        if (release.unregister && release.entry.mark == SharedMark::ComServer) {
            UnregisterComServer(release.entry.path, m_log);
        } else if (release.unregister) {
            UnregisterTypeLibrary(release.entry.path, m_log);
        }
        if (release.removeFile) RemoveSharedFile(release.entry.path);
    }
}

void UninstallRun::RemoveSharedFile(const std::u16string& path) {
    if (!IsRemovablePath(path)) return;
    if (!Automatic() &&
        !AskYesNo(Format(Message(Msg::kRemoveSharedFileQuestion), {path}),
                  Message(Msg::kSharedFileCaption))) {
        return;
    }
    RemoveOneFile(path);
}

void UninstallRun::UnpinTaskbarLinks() {
    for (const UninstallLine& line : m_data.items) {
        if (line.kind == UninstallLineKind::File && IsPinnedLinkLine(line.path)) UnpinFromTaskbar(Expand(line.path));
    }
}

void UninstallRun::WalkUninstallList() {
    std::size_t fileCount = 0;
    for (const UninstallLine& line : m_data.items) fileCount += line.kind == UninstallLineKind::File ? 1 : 0;
    bool showPaths = (m_entry.flags2 & Flags2::kHideFilePaths) == 0;
    std::size_t done = 0;
    for (const UninstallLine& line : m_data.items) {
        switch (line.kind) {
            case UninstallLineKind::Folder:
            case UninstallLineKind::InstallFolder: m_recordedFolders.push_back(Expand(line.path)); break;
            case UninstallLineKind::ActionItem:
            case UninstallLineKind::RegistryKey: DeleteRecordedKey(line.path); break;
            case UninstallLineKind::File: {
                std::u16string path = Expand(line.path);
                if (showPaths) m_progress->SetStatusText(path);
                m_progress->SetProgress(FileProgressPercent(++done, fileCount));
                if (IsRemovablePath(path) && !EqualsIgnoreCase(path, OwnPath())) RemoveOneFile(path);
                break;
            }
        }
    }
    m_progress->SetProgress(92);
}

void UninstallRun::RemoveOneFile(const std::u16string& path) {
    // A junction or link put into the installation folder since (by whoever
    // may change it) must not lead the deletion elsewhere: the file stays.
    if (ReachesThroughReparsePoint(path, m_state.installFolder)) {
        m_log.failures.Append(Format(u"%s %s\r\n", {Message(Msg::kCouldNotRemove), path}));
        return;
    }
    FileRemoval removal = RemoveFileNowOrAtRestart(path);
    switch (removal) {
        case FileRemoval::Deleted: m_deletedFileFolders.push_back(ParentFolder(path)); break;
        case FileRemoval::AtRestart:
            m_deletedFileFolders.push_back(ParentFolder(path));
            m_deferredFolders.push_back(ParentFolder(path));
            m_restartNeeded = true;
            return;  // its pending deletion must survive the clean-up below
        case FileRemoval::Failed:
            m_log.failures.Append(Format(u"%s %s\r\n", {Message(Msg::kCouldNotRemove), path}));
            break;
        case FileRemoval::Absent: break;
    }
    m_pendingTargets.Insert(path);
}

void UninstallRun::CancelPendingWork() {
    CancelPendingOperations(m_pendingTargets, &m_log.runLog);
    FileDeletionRun run;
    run.atInstall = false;
    run.installFolder = m_state.installFolder;
    run.expand = [this](std::u16string_view text) { return Expand(text); };
    run.log = &m_log;
    StepResult deleted = ProcessFileDeletions(ConditionalDeletions(m_data.conditionalDelete), run);
    if (deleted.IsFatal()) FatalError(deleted.FatalCode());
    m_restartNeeded = m_restartNeeded || run.restartNeeded;
    m_deletedFileFolders.insert(m_deletedFileFolders.end(), run.deletedFileFolders.begin(),
                                run.deletedFileFolders.end());
}

void UninstallRun::RemoveFoldersAndData() {
    std::u16string dataFolder = m_entry.UninstallDataFolder();
    // The installation's own log is not in the list: it was written after it.
    for (const char16_t* name : {kUninstallDataFileName, u"Install.log"}) {
        std::u16string path = dataFolder + u"\\" + name;
        if (RemoveFileNowOrAtRestart(path) == FileRemoval::AtRestart) m_restartNeeded = true;
    }
    FolderCandidates candidates;
    candidates.recorded = m_recordedFolders;
    if (!m_entry.sharedPath.empty()) candidates.recorded.push_back(m_entry.sharedPath);
    candidates.ofDeletedFiles = m_deletedFileFolders;
    candidates.installFolder = m_state.installFolder;
    PathSet deferred;
    for (const std::u16string& folder : m_deferredFolders) {
        for (std::u16string level = folder; !level.empty(); level = ParentFolder(level)) {
            deferred.Insert(level);
            if (!IsInsideFolder(level, m_state.installFolder)) break;
        }
    }
    for (const std::u16string& folder : FolderRemovalOrder(candidates)) {
        if (ReachesThroughReparsePoint(folder, m_state.installFolder)) continue;
        // A folder that stays after the restart is only residue, not a failure.
        if (!RemoveFolderIfEmpty(folder) && deferred.Contains(folder)) (void)ScheduleDeleteAtReboot(folder);
    }
}

}  // namespace palisade
