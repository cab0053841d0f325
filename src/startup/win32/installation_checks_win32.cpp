// The main sequence up to the progress page: the checks that may refuse the
// installation and the decisions on its language, kind and folder. Every
// stop here leaves the machine unchanged (except the folder an automatic run
// creates once everything else has passed).
#include <windows.h>

#include "actions/author_text_checks.h"
#include "actions/win32/file_writer_win32.h"
#include "core/fatal_codes.h"
#include "core/fatal_texts.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/text.h"
#include "core/win32/fatal.h"
#include "core/win32/file_system.h"
#include "core/win32/process_state.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"
#include "crash/win32/crash_handler_win32.h"
#include "log/install_log.h"
#include "log/install_log_text.h"
#include "log/win32/install_log_win32.h"
#include "payload/settings_flags.h"
#include "startup/folder_choice.h"
#include "startup/win32/installation_lookup_win32.h"
#include "startup/win32/installation_run_win32.h"
#include "system/win32/system_control_win32.h"
#include "uninstall/conditional_delete.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/notify_win32.h"
#include "ui/document_text.h"
#include "ui/win32/wizard_pages_win32.h"
#include "variables/folder_lookup.h"
#include "variables/folder_rules.h"
#include "variables/os_description.h"
#include "variables/program_files_folders.h"
#include "variables/shell_folders.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade {
namespace {

// One name for every installer this builder makes, so that two of them never
// install at the same time.
constexpr wchar_t kSingleInstanceMutexName[] = L"Global\\Palisade.Installer.Running";

bool AutomaticAfterOverride(std::uint8_t automaticOverride, const CommandLineOptions& options) {
    if (automaticOverride == 1) return true;
    if (automaticOverride == 2) return options.silent;
    return options.automatic;
}

}  // namespace

InstallationRun::InstallationRun(LoadedPayload& payload, const OwnExecutable& executable,
                                 const SetupSection& section)
    : m_payload(payload),
      m_executable(executable),
      m_section(section),
      m_settings(payload.settings),
      m_payloadFlags(payload.header.payloadFlags),
      m_silent(Process().options.silent),
      m_progress([this](int n) { return Message(n); }),
      m_context{m_settings, m_payloadFlags, m_state, ProcessSystemFacts(), TheInstallLog(), m_record, m_progress,
                m_silent} {
    m_state.automatic = AutomaticAfterOverride(m_settings.automaticOverride, Process().options);
    m_state.bitness = m_settings.bitness;
    m_state.productName = m_settings.displayName;
    m_state.companyName = m_settings.publisher;
    m_state.productVersion = m_settings.displayVersion;
    m_productVersion = m_settings.displayVersion;
    ConnectNotifications();
}

void InstallationRun::ConnectNotifications() {
    NotificationFacts facts;
    facts.productName = m_settings.displayName;
    facts.productVersion = m_productVersion;
    SetNotificationFacts(std::move(facts), [] {
        const InstallLog& log = TheInstallLog();
        return RunLogReportText(log.runLog.Bytes(), log.failures.Text());
    });
    // A crash is written into the log at once; nothing is sent unless the
    // user asks for it in the crash dialog.
    TheCrashSettings().productVersion = m_productVersion;
    TheCrashSettings().writeLog = [this](std::u16string_view report) {
        m_context.log.runLog.AppendWide(CrashLogText(report));
        m_context.log.failures.Append(u"INSTALLER CRASHED!\r\n");
        if (!m_state.uninstallDataFolder.empty()) {
            (void)WriteInstallLog(InstallLogPath(m_state.uninstallDataFolder), m_context.log.failures.Text());
        }
    };
    // A fatal error is written into the log and reported like any failure.
    // In the middle of the file walk (a damaged archive) the files written so
    // far are registered as well, so that the uninstaller can remove them.
    Process().onFatalError = [this](std::u16string_view text) {
        m_context.log.runLog.AppendWidePieces({u"\r\n", text});
        if (m_walkStoppedByFatalError) SaveRecordAfterFatalError(text);
        NotifyEvent(m_settings.errorNotifyAddress, 1);
    };
}

std::u16string InstallationRun::Message(int n) const { return m_settings.messageCatalogue.Message(n); }

void InstallationRun::StopWithMessage(std::u16string_view text) { FatalWide(text); }

void InstallationRun::RefuseUnsafeFolder(const std::u16string& folder) {
    FolderVerdict verdict = VerdictOnFolder(folder);
    if (verdict == FolderVerdict::Accepted) return;
    StopWithMessage(FolderRefusalText(verdict, folder, [this](int n) { return Message(n); }));
}

void InstallationRun::EndIfFatal(StepResult result) {
    if (result.IsFatal()) FatalError(result.FatalCode());
}

void InstallationRun::Cancel() {
    Process().outcome = RunOutcome::Cancelled;
    NotifyEvent(m_settings.cancelNotifyAddress, 0);
    // Once the work has begun, Install.log says what the run left behind.
    if (m_workBegun) WriteCancelledInstallLog();
    if (!Automatic()) ShowInstallerMessage(Message(Msg::kInstallCancelled), Message(Msg::kCancelledCaption), MB_OK | MB_ICONWARNING);
    ExitInstaller(1);
}

void InstallationRun::PrepareTexts() {
    SystemFacts& facts = m_context.facts;
    m_osName = DescribeOs(facts.OsVersion(), 0);
    // Every text shown comes from the catalogue with its placeholders filled.
    MessageCatalogue& catalogue = m_settings.messageCatalogue;
    for (std::size_t m = 0; m < catalogue.MessageCount(); ++m) {
        for (std::size_t l = 0; l < catalogue.LanguageCount(); ++l) {
            const std::u16string& text = catalogue.Text(m, l);
            if (text.find(u'<') == std::u16string::npos) continue;
            catalogue.SetText(m, l, ReplacePlaceholders(text, m_settings.displayName,
                                                        m_settings.productDescription, m_osName));
        }
    }
    m_settings.pageText = ReplacePlaceholders(m_settings.pageText, m_settings.displayName,
                                              m_settings.productDescription, m_osName);
    NotifyEvent(m_settings.startNotifyAddress, 0);

    std::u16string stored = m_settings.defaultInstallPath;
    std::u16string expanded = stored.empty() ? m_settings.displayName
                                             : m_context.Expand(ReplaceAll(stored, u"<os>", m_osName));
    FolderKind view = m_settings.bitness == 1 ? FolderKind::View64 : FolderKind::Native;
    m_defaultPath = ResolveDefaultInstallPath(expanded, ProgramFilesFolder(view, facts));
}

void InstallationRun::ChooseLanguage() {
    MessageCatalogue& catalogue = m_settings.messageCatalogue;
    if (catalogue.LanguageCount() > 1 && !Automatic()) {
        if (ShowLanguagePage() == PageAnswer::Cancel) Cancel();
    }
    if (catalogue.IsLoaded()) m_state.languageName = catalogue.Languages()[catalogue.CurrentLanguage()];
    if (!Message(Msg::kPageTextOverride).empty()) m_settings.pageText = Message(Msg::kPageTextOverride);
}

void InstallationRun::CheckBitness() {
    const OsVersionInfo& os = m_context.facts.OsVersion();
    if (int needed = RequiredBitness(m_settings.bitness, os.is64Bit)) {
        if (Automatic()) ExitInstaller(1);
        StopWithMessage(Format(Message(Msg::kWrongBitness), {needed}));
    }
    if (m_settings.bitness == 1 && !Process().wow64RedirectionOff) StopWithMessage(kWow64RedirectionFailedText);
}

void InstallationRun::CheckSystem() {
    const OsVersionInfo& os = m_context.facts.OsVersion();
    if (!m_settings.minimumSystemVersion.IsEmpty()) {
        HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        bool tooOld = BelowMinimumSystem(m_settings.minimumSystemVersion, os);
        ::SetCursor(previous ? previous : ::LoadCursorW(nullptr, IDC_ARROW));
        if (tooOld) StopWithMessage(Format(Message(Msg::kSystemTooOld), {MinimumSystemText(m_settings.minimumSystemVersion)}));
    }
    if (m_settings.excludedSystems & SystemKindBit(os)) StopWithMessage(Format(Message(Msg::kSystemExcluded), {m_osName}));
}

// The texts the run acts on only after it has begun to change the machine
// are checked first, so that a mistake in one ends the run before anything
// is changed rather than leaving a product half installed.
void InstallationRun::CheckAuthorTexts() {
    for (const AuthorTextProblem& problem : CheckFirewallRules(m_settings.firewallRules)) {
        if (problem.fatal) FatalError(FatalCode::kFirewallRules);
    }
    for (const FileDeletion& deletion : m_settings.fileDeletions) {
        if (AppliesAt(deletion, true) && HasUnreadableDate(deletion)) {
            FatalError(FatalCode::kDeletionDate);
        }
    }
}

void InstallationRun::CheckMasterProduct() {
    if (!Flag1(Flags1::kMasterProduct)) return;
    std::optional<ExistingInstallation> master = ReadUninstallEntry(m_settings.masterUninstallName);
    bool wantsFolder = m_defaultPath.source == DefaultInstallPath::Source::Master;
    if (!master || (wantsFolder && master->location.empty())) {
        StopWithMessage(Format(Message(Msg::kMasterProductMissing), {m_settings.masterDisplayName}));
    }
    const std::u16string& minimum = m_settings.masterMinimumVersion;
    if (!minimum.empty() && CompareProductVersions(master->version, minimum) < 0) {
        StopWithMessage(Format(Message(Msg::kMasterProductTooOld), {m_settings.masterDisplayName, minimum}));
    }
    if (wantsFolder) m_masterFolder = NormaliseFolder(master->location);
}

void InstallationRun::TakeSingleInstanceMutex() {
    if (!Flag1(Flags1::kSingleInstance)) return;
    m_singleInstanceMutex = ::CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName);
    DWORD wait = m_singleInstanceMutex ? ::WaitForSingleObject(m_singleInstanceMutex, 0) : WAIT_FAILED;
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) StopWithMessage(Message(Msg::kAnotherInstallRunning));
}

void InstallationRun::LookUpExistingInstallation() {
    if (!Flag1(Flags1::kUninstaller)) return;
    m_existing = ReadUninstallEntry(m_settings.uninstallEntryName);
    if (!m_existing || m_existing->location.empty()) {
        std::optional<RegistryValuePath> where = ParseRegistryValuePath(m_settings.installLocationValue);
        std::optional<std::u16string> location = where ? ReadRegistryValueText(*where) : std::nullopt;
        if (location && !location->empty()) {
            if (!m_existing) m_existing = ExistingInstallation{};
            m_existing->location = *location;
        }
    }
    if (!m_existing) return;
    m_state.oldVersion = m_existing->version;
    m_record.sharedFilesRecord = m_existing->sharedFiles;
}

void InstallationRun::PlayStartupSound() {
    if (Automatic() || m_settings.startupSound.empty()) return;
    // winmm is loaded only for the runs that play something.
    using PlaySoundFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    static auto play = LibraryFunction<PlaySoundFunction>(LoadSystemLibraryForProcess(L"winmm.dll"), "PlaySoundW");
    constexpr DWORD kMemoryAsyncNoDefault = 0x0004 | 0x0001 | 0x0002;  // SND_MEMORY | SND_ASYNC | SND_NODEFAULT
    if (play) play(reinterpret_cast<LPCWSTR>(m_settings.startupSound.data()), nullptr, kMemoryAsyncNoDefault);
}

void InstallationRun::ShowIntroductionPages() {
    if (Flag1(Flags1::kGreetingPage) || (!Automatic() && !Flag2(Flags2::kNoGreetingPage))) {
        if (ShowGreetingPage() == PageAnswer::Cancel) Cancel();
    }
    if (ShowPasswordPage(m_settings.installPassword) != PageAnswer::Next) Cancel();
    if (Automatic()) return;
    auto replace = [this](std::u16string_view text) {
        return ReplacePlaceholders(text, m_settings.displayName, m_settings.productDescription, m_osName);
    };
    for (const ByteBlob& text : PageDocuments(Message(Msg::kLicencePrefix), m_settings.licenceTexts, replace)) {
        if (ShowLicencePage(text) == PageAnswer::Cancel) Cancel();
    }
    for (const ByteBlob& text : PageDocuments(Message(Msg::kReadmePrefix), m_settings.readmeTexts, replace)) {
        if (ShowReadmePage(text) == PageAnswer::Cancel) Cancel();
    }
}

void InstallationRun::SettleInstallFolder() {
    bool overridden = !Process().options.installPathOverride.empty();
    if (m_defaultPath.source == DefaultInstallPath::Source::Registry && !overridden) {
        std::optional<std::u16string> value = ReadRegistryValueText(m_defaultPath.registry);
        if (!value || value->empty()) {
            StopWithMessage(Format(u"Failed to obtain installation path from \"%s\"", {m_defaultPath.registryText}));
        }
        std::u16string folder = NormaliseFolder(m_context.Expand(*value));
        if (!m_context.facts.FolderExists(folder)) {
            StopWithMessage(Format(u"Installation path \"%s\" obtained from \"%s\" does not exist.",
                                   {folder, m_defaultPath.registryText}));
        }
        RefuseUnsafeFolder(folder);
        m_state.installFolder = folder;
        m_state.existingInstall = kNewInstallation;
    } else if (Flag1(Flags1::kUninstaller) && m_existing) {
        SettleExistingInstallation();
    } else {
        SettleNewInstallFolder();
    }
}

void InstallationRun::SettleExistingInstallation() {
    const ExistingInstallation& existing = *m_existing;
    if (MustUninstallFirst(m_settings, existing.version)) {
        m_state.automatic = false;
        const std::u16string& command =
            !existing.quietUninstallString.empty() ? existing.quietUninstallString : existing.uninstallString;
        if (command.empty()) StopWithMessage(Message(Msg::kMustUninstallFirst));
        if (Silent()) {
            // Nobody can answer the page: the run is refused, and says why
            // where an admin looks.
            LogRefusal(existing, Message(Msg::kMustUninstallFirst));
            ExitInstaller(1);
        }
        if (ShowMustUninstallPage() != PageAnswer::Next) Cancel();
        // The old uninstaller restarts this installer when it is done; if it
        // cannot be started there is nothing more this run can do.
        (void)StartProgram(MustUninstallCommand(command, FromWide(::GetCommandLineW())));
        ExitInstaller(1);
    }
    if (DowngradeForbidden(existing.noDowngradeBelow, m_productVersion)) {
        std::u16string refusal = Format(Message(Msg::kDowngradeForbidden), {existing.noDowngradeBelow});
        LogRefusal(existing, refusal);
        if (!Silent()) ShowInstallerMessage(refusal, u"", MB_ICONERROR);
        ExitInstaller(1);
    }
    InstallTypeDecision type = DecideInstallType(Flag2(Flags2::kCompareVersions), existing.version, m_productVersion);
    m_state.existingInstall = type.type;
    if (!Automatic() && !Flag1(Flags1::kNoExistingInstallQuestion)) {
        std::u16string question = Format(Message(Msg::kExistingInstallQuestion), {Message(type.questionMessage), m_settings.displayName,
                                                      existing.version, m_productVersion, existing.location});
        if (!AskYesNo(question, Message(Msg::kAlreadyInstalledCaption))) Cancel();
    }
    if (UnexpectedExistingVersion(m_settings, existing.version) && !AskYesNo(Message(Msg::kDifferentVersionQuestion), Message(Msg::kSetupCaption))) {
        Process().outcome = RunOutcome::Cancelled;
        NotifyEvent(m_settings.cancelNotifyAddress, 0);
        ExitInstaller(1);
    }
    // The recorded folder is checked like any other: the registry value may
    // have been changed since the last installation.
    RefuseUnsafeFolder(NormaliseFolder(existing.location));
    m_state.installFolder = NormaliseFolder(existing.location);
}

// A run refused over an existing installation says why in that
// installation's Install.log: a silent refusal is otherwise seen nowhere.
void InstallationRun::LogRefusal(const ExistingInstallation& existing, const std::u16string& reason) {
    std::u16string folder = NormaliseFolder(existing.location);
    if (folder.empty()) return;
    if (!existing.uninstallSubdir.empty()) folder = JoinFolder(folder, existing.uninstallSubdir);
    if (!FolderExists(folder)) return;
    m_state.installFolder = NormaliseFolder(existing.location);
    (void)WriteInstallLog(InstallLogPath(folder), u"Installation refused: " + reason + u"\r\n");
}

void InstallationRun::SettleNewInstallFolder() {
    m_state.existingInstall = kNewInstallation;
    const std::u16string& override = Process().options.installPathOverride;
    std::u16string folder = !override.empty() ? NormaliseFolder(override)
                            : m_defaultPath.source == DefaultInstallPath::Source::Master ? m_masterFolder
                                                                                         : m_defaultPath.folder;
    std::optional<std::vector<std::u16string>> chosen;
    if (!Automatic() && Flag1(Flags1::kFolderPage)) chosen = ChooseFolderOnPage(folder);
    std::vector<std::u16string> made;
    if (chosen) {
        made = std::move(*chosen);
    } else {
        // Without the page (or when it could not be made) the folder is taken as it is.
        RefuseUnsafeFolder(NormaliseFolder(folder));
        if (CreateFolderPath(folder, &made).failed()) StopWithMessage(Message(Msg::kFolderCannotBeCreated));
    }
    m_state.installFolder = NormaliseFolder(folder);
    // A parent this run made (C:\Apps for C:\Apps\Product) goes with the
    // product once empty; one it found stays.
    for (const std::u16string& level : made) {
        if (!EqualsIgnoreCase(NormaliseFolder(level), m_state.installFolder)) {
            m_record.uninstallItems.Record(level, UninstallItemType::Folder);
        }
    }
}

void InstallationRun::SettlePortableAndStartMenu() {
    SystemFacts& facts = m_context.facts;
    std::optional<std::u16string> drive = DriveOf(m_state.installFolder);
    m_state.portable = drive && facts.DriveType(*drive + u"\\") == DriveKind::Removable;
    m_state.uninstallDataFolder = m_settings.uninstallSubdir.empty()
                                      ? m_state.installFolder
                                      : JoinFolder(m_state.installFolder, m_settings.uninstallSubdir);
    if (PayloadBit(PayloadFlags::kRecordInstallFolder)) {
        m_record.uninstallItems.Record(m_state.installFolder, UninstallItemType::InstallFolder);
    }
    if (m_state.existingInstall == kNewInstallation || !m_existing || m_existing->startMenu.empty()) {
        m_state.startMenuFolderName = ReplacePlaceholders(m_settings.productStartMenu, m_settings.displayName,
                                                          m_settings.productDescription, m_osName);
        bool pageWanted = !Automatic() && Flag2(Flags2::kStartMenuPage) &&
                          (!m_state.portable || !PayloadBit(PayloadFlags::kPortableNoShortcuts));
        if (pageWanted) {
            const bool allUsers = m_state.allUsers || m_settings.shortcutMode == 1;
            const std::u16string programs = ShellFolderPath(allUsers ? ShellFolder::SMProgramsAll : ShellFolder::SMPrograms, facts);
            if (ShowStartMenuPage(m_state.startMenuFolderName, programs) == PageAnswer::Cancel) Cancel();
        }
    } else {
        m_state.startMenuFolderName = m_existing->startMenu;
    }
    // Opening the start-menu folder to everyone belongs to the shortcuts step.
}

}  // namespace palisade
