// The main sequence from the progress page on: preparing the system, the
// batches, the archive and the file walk, the actions, and the finish.
#include <windows.h>
#include <shellapi.h>

#include "actions/win32/component_registration_win32.h"
#include "actions/win32/file_associations_win32.h"
#include "actions/win32/file_installation_win32.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/firewall_win32.h"
#include "actions/win32/folder_rights_win32.h"
#include "actions/win32/registry_entries_win32.h"
#include "actions/win32/shared_counts_win32.h"
#include "actions/win32/shortcuts_win32.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/text.h"
#include "core/win32/fatal.h"
#include "core/win32/file_system.h"
#include "core/win32/process_state.h"
#include "core/win32/system_error.h"
#include "core/win32/system_time.h"
#include "core/win32/wide.h"
#include "log/finish_message.h"
#include "log/win32/install_log_win32.h"
#include "payload/archive.h"
#include "payload/item_walker.h"
#include "payload/settings_flags.h"
#include "startup/win32/installation_run_win32.h"
#include "system/win32/close_applications_win32.h"
#include "system/win32/restore_point_win32.h"
#include "system/win32/system_control_win32.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/notify_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "ui/win32/wizard_state_win32.h"
#include "ui/wizard_setup.h"
#include "uninstall/conditional_delete.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/win32/file_deletions_win32.h"
#include "uninstall/win32/uninstall_registration_win32.h"
#include "variables/folder_lookup.h"
#include "variables/os_description.h"
#include "variables/win32/run_batch_win32.h"

namespace palisade {
namespace {

// The deletions that apply at installation run before any file is written;
// those that apply at uninstallation travel to the uninstaller in the
// uninstall data.
void RunScheduledDeletions(InstallContext& context) {
    const std::vector<FileDeletion>& deletions = context.settings.fileDeletions;
    FileDeletionRun run;
    run.atInstall = true;
    run.installFolder = context.state.installFolder;
    run.expand = [&context](std::u16string_view text) { return context.Expand(text); };
    run.log = &context.log;
    StepResult deleted = ProcessFileDeletions(deletions, run);
    if (deleted.IsFatal()) FatalError(deleted.FatalCode());
    if (run.restartNeeded) context.settings.settingsFlags1 |= Flags1::kRestartRequired;
    for (const FileDeletion& deletion : deletions) {
        if (AppliesAt(deletion, false)) context.record.conditionalDelete += ConditionalDeleteLine(deletion);
    }
}

}  // namespace

void InstallationRun::Run() {
    ConnectRunLogToDebugger(m_context.log.runLog);
    PrepareTexts();
    StartWizard(InstallerWizardSetup(m_settings, m_osName, Silent(), Automatic()));
    ChooseLanguage();
    CheckBitness();
    CheckSystem();
    CheckMasterProduct();
    CheckAuthorTexts();
    TakeSingleInstanceMutex();
    LookUpExistingInstallation();
    PlayStartupSound();
    ShowIntroductionPages();
    CloseApplicationsBeforeInstalling(m_context);
    SettleInstallFolder();
    SettlePortableAndStartMenu();

    OpenProgress();
    PrepareSystem();
    RunPreInstallationBatches();
    InstallArchive();
    Finish();
    ExitInstaller(1);
}

void InstallationRun::OpenProgress() {
    m_workBegun = true;
    m_progress.ShowPage(false, [this] { Cancel(); });
    m_progress.SetProgress(1);
    NotifyEvent(m_settings.beginNotifyAddress, 0);
}

void InstallationRun::PrepareSystem() {
    RunLog& log = m_context.log.runLog;
    if (!ProcessIsAdministrator()) log.AppendNarrow("Warning: the installer does not have admin rights.\r\n\r\n");
    static RestorePoint restorePoint;  // committed by its destructor if still open at exit
    m_restorePoint = &restorePoint;
    if (PayloadBit(PayloadFlags::kRestorePoint)) BeginRestorePoint(m_context, restorePoint);

    if (!m_settings.uninstallSubdir.empty()) {
        if (Win32Status created = CreateFolderPath(m_state.uninstallDataFolder); created.failed()) {
            m_context.log.failures.Append(u"Failed to create uninstall data folder \"" + m_state.uninstallDataFolder +
                                          u"\": " + SystemErrorText(created.code()));
        }
    }
    PlaceSharedFolder(m_context);
    // Never the uninstall data folder: whoever may change it could replace the
    // uninstaller that an administrator will run.
    GrantInstallFolderRights(m_state.installFolder, m_state.uninstallDataFolder, m_context);

    m_totalSize = m_payload.header.TotalItemSize();
    if ((m_settings.settingsFlags2 & Flags2::kPortableNoUninstaller) && m_state.portable) {
        m_settings.settingsFlags1 &= ~Flags1::kUninstaller;
    }
}

bool InstallationRun::RunAuthorBatch(const std::string& commands, int addition, bool titled, bool hidden,
                                     std::uint32_t titleMessage) {
    static const char* const kTitles[] = {"Pre-Installation Batch", "Upgrade Batch", "Reinstall Batch",
                                          "Post-Installation Batch"};
    std::string text = commands;
    if (addition >= 0) {
        const std::string& extra = Process().options.batchAdditions[addition];
        if (!extra.empty()) text += "\r\n" + extra;
    }
    const OsVersionInfo& os = m_context.facts.OsVersion();
    BatchContext batch;
    batch.automatic = Automatic();
    batch.silent = Silent();
    batch.osPlatformId = os.platformId;
    batch.osMajor = os.majorVersion;
    batch.osMinor = os.minorVersion;
    batch.expand = [this](std::u16string_view t) { return m_context.Expand(t); };
    batch.log = &m_context.log.runLog;
    std::optional<std::string_view> title;
    if (titled) title = kTitles[titleMessage];
    return RunBatch(text, hidden, title, batch);
}

void InstallationRun::RunPreInstallationBatches() {
    RunAuthorBatch(m_settings.preInstallBatch, 0, PayloadBit(PayloadFlags::kPreInstallBatchTitle),
                   Flag1(Flags1::kHidePreInstallBatch), 0);
    if (m_state.existingInstall == kUpgrade) {
        RunAuthorBatch(m_settings.upgradeBatch, -1, PayloadBit(PayloadFlags::kUpgradeBatchTitle),
                       Flag2(Flags2::kHideUpgradeBatch), 1);
    }
    if (m_existing && (m_state.existingInstall == kReinstall ||
                       !PayloadBit(PayloadFlags::kReinstallBatchOnlyOnReinstall))) {
        RunAuthorBatch(m_settings.reinstallBatch, -1, PayloadBit(PayloadFlags::kReinstallBatchTitle),
                       Flag2(Flags2::kHideReinstallBatch), 2);
    }
}

void InstallationRun::InstallArchive() {
    m_progress.SetStatusMessage(Msg::kPreparing);
    m_progress.SetProgress(2);
    m_progress.SetStatusMessage(Msg::kCheckingData);
    m_progress.SetProgress(21);
    ArchiveLocation archive = LoadArchive(m_payload, m_executable, m_section);
    m_progress.SetStatusMessage(Msg::kInstallingCaption);
    m_progress.SetProgress(26);
    RunScheduledDeletions(m_context);
    m_progress.SetProgress(27);

    bool compressed = (m_settings.settingsFlags1 & Flags1::kCompressedChunks) != 0;
    ItemWalker walker(m_payload.header, m_executable.file, archive.position, archive.length, *m_payload.cipher,
                      compressed);
    StepResult walked = InstallFiles(walker, m_payload.header.itemSizes.size(), m_context);
    if (walked.IsFatal()) {
        m_walkStoppedByFatalError = true;  // the fatal path registers what was written
        FatalError(walked.FatalCode());
    }
    FinishFileWalk(m_context);
    if (Flag1(Flags1::kUninstaller) && !m_state.portable) IncrementSharedCounts(m_context);
    m_progress.SetProgress(93);
    RegisterComponents(m_context);
    CreateShortcuts(m_context);
    WriteRegistryEntries(m_context);
    InstallAssociations(m_context);
    EndIfFatal(AddFirewallExceptions(m_context));
}

UninstallInputs InstallationRun::RegistrationInputs() const {
    UninstallInputs inputs;
    inputs.strippedInstaller = ByteView(m_payload.strippedInstaller);
    inputs.installedBytes = m_totalSize;
    inputs.session = Process().startTime;
    if (m_existing && !m_existing->location.empty()) {
        inputs.previousUninstallData = JoinFolder(JoinFolder(NormaliseFolder(m_existing->location),
                                                             m_existing->uninstallSubdir),
                                                  kUninstallDataFileName);
        inputs.previousUninstallDataHash = m_existing->uninstallDataHash;
    }
    return inputs;
}

// A fatal error stopped the file walk: what was written so far is
// registered (uninstaller, Uninstall.DAT, product key) and the log says why,
// so that the product can be removed, or installed again over itself.
void InstallationRun::SaveRecordAfterFatalError(std::u16string_view text) {
    m_walkStoppedByFatalError = false;
    if (!Flag1(Flags1::kUninstaller) || m_state.uninstallDataFolder.empty()) return;
    (void)RegisterUninstall(m_context, RegistrationInputs());
    m_context.log.failures.Append(std::u16string(text) + u"\r\n");
    (void)WriteInstallLog(InstallLogPath(m_state.uninstallDataFolder), m_context.log.failures.Text());
}

void InstallationRun::Finish() {
    EndIfFatal(RegisterUninstall(m_context, RegistrationInputs()));
    m_progress.SetProgress(100);
    RunAuthorBatch(m_settings.postInstallBatch, 1, PayloadBit(PayloadFlags::kPostInstallBatchTitle),
                   Flag1(Flags1::kHidePostInstallBatch), 3);
    NotifyEvent(m_settings.completionNotifyAddress, 0);
    if (PayloadBit(PayloadFlags::kRestorePoint)) CommitRestorePoint(m_context, *m_restorePoint);

    const std::u16string& givenProgram = Process().options.programToRunOnExit;
    std::u16string launch = !givenProgram.empty() ? givenProgram : m_settings.launchProgram;
    launch = launch.empty() ? launch : m_context.Expand(launch);
    if (!launch.empty()) m_context.log.runLog.AppendFormattedWide(u"Launch on exit: %s\r\n", {launch});
    const bool runProgramChosen = WriteLogAndFinishMessage();
    // The program given with /r always starts; the settings' own program
    // only when the summary page (if it was shown) still asks for it.
    if (givenProgram.empty() && !runProgramChosen) launch.clear();

    // A silent run never restarts the computer: nobody agreed, and other
    // programs' unsaved work would be lost. The need stays in the log and in
    // the product key's flags for the admin's tools.
    bool restart = Flag1(Flags1::kRestartRequired) && !Silent() && AskYesNo(Message(Msg::kRestartToFinishInstall), Message(Msg::kSetupCaption));
    RunAuthorBatch(m_settings.installExitBatch, 2, false, Flag1(Flags1::kHideInstallExitBatch));
    if (restart) RestartComputer();
    if (!launch.empty() && StartProgram(launch).failed()) {
        ::ShellExecuteW(nullptr, nullptr, ToWide(launch).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
}

bool InstallationRun::WriteLogAndFinishMessage() {
    InstallLog& log = m_context.log;
    std::u16string path = InstallLogPath(m_state.uninstallDataFolder);
    std::u16string failures = log.failures.Text();
    if (!failures.empty()) NotifyEvent(m_settings.errorNotifyAddress, 1);
    Process().outcome = FinishedOutcome(!failures.empty(), Flag1(Flags1::kRestartRequired));

    bool viewLog = false;
    FinishInputs finish;
    finish.automatic = Automatic();
    finish.hasFailures = !failures.empty();
    finish.settingsFlags1 = m_settings.settingsFlags1;
    finish.settingsFlags2 = m_settings.settingsFlags2;
    finish.summaryHasActions = !m_settings.summaryDocument.empty() || !m_settings.summaryDocument2.empty() ||
                               !m_settings.launchProgram.empty();
    FinishChoice choice = ChooseFinishMessage(finish);
    m_settings.settingsFlags2 = choice.settingsFlags2;
    std::optional<SummaryChoices> summary;
    if (choice.message == FinishMessage::AskToViewLog) {
        viewLog = AskYesNo(Format(Message(Msg::kViewLogQuestion), {path}), Message(Msg::kInstallIncompleteCaption));
    } else if (choice.message == FinishMessage::SummaryPage) {
        summary = ShowSummaryPage(m_settings);
    }
    // The information box, also where the summary page could not be made.
    if (choice.message == FinishMessage::InformationBox || (choice.message == FinishMessage::SummaryPage && !summary)) {
        ShowInstallerMessage(Message(Msg::kInstalledText), Message(Msg::kInstallCompleteCaption), MB_OK | MB_ICONINFORMATION);
    }

    bool logWritten = false;
    if (ShouldWriteInstallLog(Flag1(Flags1::kKeepInstallLog), failures)) logWritten = WriteInstallLog(path, failures);
    if (viewLog && logWritten) ViewInstallLog(path);
    if (!summary) return true;
    StartSummaryChoices(*summary, path, logWritten);
    return summary->runProgram;
}

// The documents open with the shell (a second "document" may be an address);
// the program is started with the run's last step.
void InstallationRun::StartSummaryChoices(const SummaryChoices& choices, const std::u16string& logPath, bool logWritten) {
    auto open = [this](const std::u16string& document) {
        std::wstring target = ToWide(m_context.Expand(document));
        ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    };
    if (choices.openDocument) open(m_settings.summaryDocument);
    if (choices.openDocument2) open(m_settings.summaryDocument2);
    if (choices.viewLog && logWritten) ViewInstallLog(logPath);
}

bool InstallationRun::WriteInstallLog(const std::u16string& path, const std::u16string& failures) {
    InstallLogSection section;
    InstallLogHeader& header = section.header;
    header.productName = m_settings.displayName;
    header.installTime = LocalNow();
    header.looksForExistingInstall = Flag1(Flags1::kUninstaller);
    header.existingInstall = m_state.existingInstall;
    header.installFolder = m_state.installFolder;
    header.buildDate = m_settings.buildDate;
    header.productVersion = m_productVersion;
    header.overwrittenVersion = m_state.oldVersion;
    header.osDescription = DescribeOs(m_context.facts.OsVersion(), 0);
    section.runLog = m_context.log.runLog.Bytes();
    section.failures = failures;
    std::u16string success = Message(Msg::kInstallCompleteCaption);
    section.successText = success;
    return WriteInstallLogFile(path, section);
}

void InstallationRun::WriteCancelledInstallLog() {
    if (!FolderExists(m_state.uninstallDataFolder)) return;
    m_context.log.failures.Append(Message(Msg::kInstallCancelled) + u"\r\n");
    (void)WriteInstallLog(InstallLogPath(m_state.uninstallDataFolder), m_context.log.failures.Text());
}

[[noreturn]] void RunInstallation(LoadedPayload& payload, const OwnExecutable& executable,
                                  const SetupSection& section) {
    static InstallationRun* run = new InstallationRun(payload, executable, section);
    run->Run();
}

}  // namespace palisade
