// The uninstaller's run: rights, the product's entry and uninstall data, the
// confirmation, then the removal (uninstall_removal_win32.cpp) and the end.
#include "uninstall/win32/uninstaller_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "core/fatal_texts.h"
#include "core/command_arguments.h"
#include "core/format.h"
#include "core/program_narrow.h"
#include "core/win32/fatal.h"
#include "core/win32/file_system.h"
#include "core/win32/sha256.h"
#include "core/win32/process_state.h"
#include "core/win32/system_error.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "system/win32/close_applications_win32.h"
#include "system/win32/system_control_win32.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/notify_win32.h"
#include "ui/win32/uninstaller_wizard_win32.h"
#include "ui/win32/wizard_pages_win32.h"
#include "uninstall/product_key_values.h"
#include "uninstall/removal_rules.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/win32/uninstall_run_win32.h"
#include "variables/expand_variables.h"
#include "variables/os_description.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade {
namespace {

// Far more than any product's uninstall data; a larger file is not ours.
constexpr std::uint64_t kLargestUninstallData = 256u << 20;

bool RunningUnderWow64() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = KernelFunction<IsWow64ProcessFunction>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

// The support-offer page: Get Support opens the address and nothing is
// removed; Uninstall (or a page that could not be made) goes on removing.
bool SupportOfferTakesOver(std::u16string_view address) {
    if (ShowSupportOfferPage() != PageAnswer::Next) return false;
    ::ShellExecuteW(nullptr, L"open", ToWide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

// The program given with /r (the installer that asked for this removal).
void StartProgramAfterRemoval(const std::u16string& program) {
    if (program.empty()) return;
    (void)StartProgram(program);  // the removal is done whether it starts or not
}

}  // namespace

UninstallRun::UninstallRun(std::u16string productName, const CommandLineOptions& options)
    : m_productName(std::move(productName)), m_options(options) {}

std::u16string UninstallRun::Expand(std::u16string_view text) const {
    return ExpandVariables(text, m_state, ProcessSystemFacts());
}

bool UninstallRun::AutomaticOrSilent() const { return Automatic() || Silent(); }

void UninstallRun::Prepare() {
    if (!ProcessIsAdministrator()) FatalWide(kNotAdministratorText);
    EntryReading reading = ReadProductEntry(m_productName);
    switch (reading.status) {
        case EntryStatus::Missing: FatalWide(Format(kNoSuchProductText, {m_productName}));
        case EntryStatus::Unreadable: FatalWide(Format(kUnreadableProductText, {m_productName}));
        case EntryStatus::Corrupt: FatalWide(Format(kCorruptProductText, {m_productName}));
        case EntryStatus::Ok: break;
    }
    m_entry = std::move(reading.entry);
    Process().deploymentExitCodes = (m_entry.payloadFlags & PayloadFlags::kDeploymentExitCodes) != 0;
    if (m_entry.bitness == kBitness64Only && RunningUnderWow64()) {
        using DisableFunction = BOOL(WINAPI*)(PVOID*);
        auto disable = KernelFunction<DisableFunction>("Wow64DisableWow64FsRedirection");
        if (!disable || !disable(&m_wow64Cookie)) FatalWide(kWow64RedirectionFailedText);
        m_wow64Off = true;
    }

    std::u16string dataPath = m_entry.UninstallDataFolder() + u"\\" + kUninstallDataFileName;
    Win32Result<std::string> bytes = ReadWholeFile(dataPath, kLargestUninstallData);
    if (!bytes.ok()) {
        FatalWide(Format(kDataNotLoadedText,
                         {m_entry.displayName, dataPath, int(bytes.code()), SystemErrorText(bytes.code())}));
    }
    // Data changed since the installation wrote it could name anything to
    // delete: nothing is removed unless it is what the product key recorded.
    if (!m_entry.uninstallDataHash.empty()) {
        Win32Result<std::u16string> hash = Sha256Hex(BytesOf(*bytes));
        if (!hash.ok() || !EqualsIgnoreCase(*hash, m_entry.uninstallDataHash)) {
            FatalWide(Format(kCorruptProductText, {m_productName}));
        }
    }
    m_data = ParseUninstallData(*bytes);
    Win32SystemFacts& facts = ProcessSystemFacts();
    m_texts = std::make_unique<UninstallerTexts>(m_data.strings, m_entry.displayName, DescribeOs(facts.OsVersion(), 0));
    Process().message = [this](int number) { return Message(number); };
    Process().caption = Message(Msg::kRemovingCaption);
    StartWizard(facts);

    m_state.automatic = Automatic();
    m_state.bitness = std::uint8_t(m_entry.bitness);
    m_state.installFolder = m_entry.installLocation;
    while (m_state.installFolder.size() > 3 && m_state.installFolder.back() == u'\\') m_state.installFolder.pop_back();
    m_state.uninstallDataFolder = m_entry.UninstallDataFolder();
    m_state.productName = m_entry.displayName;
    m_state.productVersion = m_entry.displayVersion;
    m_state.sharedFolder = m_entry.sharedPath;
    m_state.startMenuFolderName = m_entry.productStartMenu;
    m_state.allUsers = m_entry.shortcutMode == 1;

    auto message = [this](int number) { return Message(number); };
    CloseApplicationsInUninstaller(m_data.autoClose, kCloseAtUninstallerStart, Silent(), message);
    if (!Automatic() &&
        !AskYesNo(Message(Msg::kConfirmRemoval), Message(Msg::kRemovingCaption))) {
        Process().outcome = RunOutcome::Cancelled;
        ExitInstaller(1);
    }
    if (!Automatic() && IsSupportAddress(m_entry.supportOffer) &&
        SupportOfferTakesOver(m_entry.supportOffer)) {
        Process().outcome = RunOutcome::Cancelled;
        ExitInstaller(1);
    }
    CloseApplicationsInUninstaller(m_data.autoClose, kCloseAfterUninstallConfirmation, Silent(), message);
    m_progress = std::make_unique<Win32Progress>([this](int number) { return Message(number); });
    m_progress->ShowPage(true, {});  // the uninstallation cannot be cancelled
    m_progress->SetStatusMessage(Msg::kPleaseWaitRemoving);
    m_progress->SetProgress(1);
}

// The background window and the pages with the appearance the installation stored.
void UninstallRun::StartWizard(Win32SystemFacts& facts) {
    UninstallerWizardInputs inputs;
    inputs.productKeyPath = std::u16string(kInstalledProgramsKey) + u"\\" + m_productName;
    inputs.settingsFlags1 = m_entry.flags1;
    inputs.settingsFlags2 = m_entry.flags2;
    inputs.uninstallDataFolder = m_entry.UninstallDataFolder();
    inputs.product = m_entry.displayName;
    inputs.os = DescribeOs(facts.OsVersion(), 0);
    inputs.messages = [this](int number) { return Message(number); };
    inputs.silent = Silent();
    inputs.automatic = Automatic();
    StartUninstallerWizard(inputs);
}

void UninstallRun::Finish() {
    if (m_wow64Off) {
        using RevertFunction = BOOL(WINAPI*)(PVOID);
        auto revert = KernelFunction<RevertFunction>("Wow64RevertWow64FsRedirection");
        if (revert) revert(m_wow64Cookie);
    }
    m_progress->SetProgress(100);
    Process().outcome = FinishedOutcome(!m_log.failures.Empty(), m_restartNeeded);
    if (Automatic()) return;
    if (!m_log.failures.Empty()) {
        ShowInstallerMessage(Message(Msg::kRemovalFailures) + u"\r\n\r\n" + m_log.failures.Text(),
                             Message(Msg::kSetupCaption), MB_OK | MB_ICONWARNING);
    } else {
        ShowInstallerMessage(Message(Msg::kRemovedText), Message(Msg::kRemovalCompleteCaption),
                             MB_OK | MB_ICONINFORMATION);
    }
    if (m_restartNeeded && !Silent() &&
        AskYesNo(Message(Msg::kRestartToFinishRemoval), Message(Msg::kSetupCaption))) {
        RestartComputer();
    }
}

std::optional<UninstalledProduct> RunUninstaller(std::u16string_view productName) {
    UninstallRun run{std::u16string(productName), Process().options};
    run.Prepare();
    run.Remove();
    run.Finish();
    StartProgramAfterRemoval(Process().options.programToRunOnExit);
    const UninstallEntry& entry = run.Entry();
    return UninstalledProduct{entry.notifyUrl, entry.installLocation, entry.uninstallSubdir,
                              ProgramOfCommand(entry.uninstallString),
                              RecordedParentsOf(run.RecordedFolders(), entry.installLocation)};
}

void SendUninstallNotification(std::u16string_view address) {
    if (!address.empty()) NotifyEvent(EncodeProgramNarrow(address), 0);
}

}  // namespace palisade
