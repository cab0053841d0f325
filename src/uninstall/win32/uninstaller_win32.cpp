// The uninstaller's run: rights, the product's entry and uninstall data, the
// confirmation, then the removal (uninstall_removal_win32.cpp) and the end.
#include "uninstall/win32/uninstaller_win32.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "core/format.h"
#include "core/program_narrow.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "startup/fatal_texts.h"
#include "startup/win32/fatal.h"
#include "startup/win32/process_state.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/notify_win32.h"
#include "uninstall/removal_rules.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/win32/uninstall_run_win32.h"
#include "variables/expand_variables.h"
#include "system/win32/close_applications_win32.h"
#include "system/win32/system_control_win32.h"
#include "variables/os_description.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade {
namespace {

bool RunningUnderWow64() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64ProcessFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

// Reads the whole file; the system error when it cannot.
std::string ReadWholeFile(const std::u16string& path, DWORD& error) {
    error = 0;
    UniqueFileHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return {};
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

// The running copies named by the "[AutoClose]" rows are closed for `phase`.
void CloseRunningApplications(const std::vector<std::string>& autoCloseRows, int phase) {
    CloseApplicationsInUninstaller(autoCloseRows, phase);
}

// The support-offer page joins here; until it exists the run goes on as if
// its Uninstall button had been pressed.
bool SupportOfferTakesOver(std::u16string_view /*address*/) { return false; }

// The program given with /r (the installer that asked for this removal).
void StartProgramAfterRemoval() {
    const std::u16string& program = Process().options.programToRunOnExit;
    if (program.empty()) return;
    StartProgram(program);
}

}  // namespace

UninstallRun::UninstallRun(std::u16string productName) : m_productName(std::move(productName)) {}

std::u16string UninstallRun::Expand(std::u16string_view text) const {
    return ExpandVariables(text, m_state, ProcessSystemFacts());
}

bool UninstallRun::AutomaticOrSilent() const {
    return Process().options.automatic || Process().options.silent;
}

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
    if (m_entry.bitness == kBitness64Only && RunningUnderWow64()) {
        using DisableFunction = BOOL(WINAPI*)(PVOID*);
        auto disable = reinterpret_cast<DisableFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "Wow64DisableWow64FsRedirection")));
        if (!disable || !disable(&m_wow64Cookie)) FatalWide(kWow64RedirectionFailedText);
        m_wow64Off = true;
    }

    std::u16string dataPath = m_entry.UninstallDataFolder() + u"\\" + kUninstallDataFileName;
    DWORD error = 0;
    std::string bytes = ReadWholeFile(dataPath, error);
    if (error != 0) {
        FatalWide(Format(kDataNotLoadedText, {m_entry.displayName, dataPath, int(error), SystemErrorText(error)}));
    }
    m_data = ParseUninstallData(bytes);
    Win32SystemFacts& facts = ProcessSystemFacts();
    m_texts = std::make_unique<UninstallerTexts>(m_data.strings, m_entry.displayName, DescribeOs(facts.OsVersion(), 0));
    Process().message = [this](int number) { return Message(number); };
    Process().caption = Message(UninstallerMessage::kRemovingCaption);

    m_state.automatic = Process().options.automatic;
    m_state.bitness = std::uint8_t(m_entry.bitness);
    m_state.installFolder = m_entry.installLocation;
    while (m_state.installFolder.size() > 3 && m_state.installFolder.back() == u'\\') m_state.installFolder.pop_back();
    m_state.uninstallDataFolder = m_entry.UninstallDataFolder();
    m_state.productName = m_entry.displayName;
    m_state.productVersion = m_entry.displayVersion;
    m_state.sharedFolder = m_entry.sharedPath;
    m_state.startMenuFolderName = m_entry.productStartMenu;
    m_state.allUsers = m_entry.shortcutMode == 1;

    CloseRunningApplications(m_data.autoClose, 2);
    if (!Process().options.automatic &&
        !AskYesNo(Message(UninstallerMessage::kConfirmText), Message(UninstallerMessage::kRemovingCaption))) {
        ExitInstaller(1);
    }
    if (!Process().options.automatic && IsSupportAddress(m_entry.supportOffer) &&
        SupportOfferTakesOver(m_entry.supportOffer)) {
        ExitInstaller(1);
    }
    CloseRunningApplications(m_data.autoClose, 4);
    m_progress = std::make_unique<Win32Progress>([this](int number) { return Message(number); });
    m_progress->SetStatusMessage(UninstallerMessage::kPleaseWait);
    m_progress->SetProgress(1);
}

void UninstallRun::Finish() {
    if (m_wow64Off) {
        using RevertFunction = BOOL(WINAPI*)(PVOID);
        auto revert = reinterpret_cast<RevertFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "Wow64RevertWow64FsRedirection")));
        if (revert) revert(m_wow64Cookie);
    }
    m_progress->SetProgress(100);
    if (Process().options.automatic) return;
    if (!m_log.failures.Empty()) {
        ShowInstallerMessage(Message(UninstallerMessage::kFailuresText) + u"\r\n\r\n" + m_log.failures.Text(),
                             Message(UninstallerMessage::kSetupCaption), MB_OK | MB_ICONWARNING);
    } else {
        ShowInstallerMessage(Message(UninstallerMessage::kDoneText), Message(UninstallerMessage::kDoneCaption),
                             MB_OK | MB_ICONINFORMATION);
    }
    if (m_restartNeeded && !Process().options.silent &&
        AskYesNo(Message(UninstallerMessage::kRestartText), Message(UninstallerMessage::kSetupCaption))) {
        RestartComputer();
    }
}

std::optional<UninstalledProduct> RunUninstaller(std::u16string_view productName) {
    UninstallRun run{std::u16string(productName)};
    run.Prepare();
    run.Remove();
    run.Finish();
    StartProgramAfterRemoval();
    const UninstallEntry& entry = run.Entry();
    return UninstalledProduct{entry.notifyUrl, entry.installLocation, entry.uninstallSubdir};
}

void SendUninstallNotification(std::u16string_view address) {
    if (!address.empty()) NotifyEvent(EncodeProgramNarrow(address), 0);
}

}  // namespace palisade
