// One installation run: the main sequence from the settings to the exit,
// with the state it settles on the way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/step_result.h"
#include "core/win32/own_executable.h"
#include "log/installation_record.h"
#include "payload/section_locator.h"
#include "payload/settings_flags.h"
#include "payload/win32/payload_loader_win32.h"
#include "startup/install_decisions.h"
#include "ui/summary_boxes.h"
#include "ui/win32/progress_win32.h"
#include "uninstall/win32/uninstall_registration_win32.h"
#include "variables/folder_rules.h"
#include "variables/install_context.h"
#include "variables/installation_state.h"

namespace palisade {

class RestorePoint;

class InstallationRun {
public:
    InstallationRun(LoadedPayload& payload, const OwnExecutable& executable, const SetupSection& section);

    // Runs every step and ends the process with exit code 1.
    [[noreturn]] void Run();

private:
    // Checks and decisions before anything changes on the machine.
    void PrepareTexts();
    // The facts the notifications carry, and the fatal path's log line and error notification.
    void ConnectNotifications();
    void ChooseLanguage();
    void CheckBitness();
    void CheckSystem();
    void CheckMasterProduct();
    void CheckAuthorTexts();
    void TakeSingleInstanceMutex();
    void LookUpExistingInstallation();
    void PlayStartupSound();
    void ShowIntroductionPages();
    void SettleInstallFolder();
    void SettleExistingInstallation();
    void SettleNewInstallFolder();
    // The folder page until `folder` passes every test (made when new): the
    // folders made, outermost first; nothing when the page could not be shown.
    std::optional<std::vector<std::u16string>> ChooseFolderOnPage(std::u16string& folder);
    void SettlePortableAndStartMenu();

    // The work.
    void OpenProgress();
    void PrepareSystem();
    void RunPreInstallationBatches();
    void InstallArchive();
    void Finish();
    // Writes Install.log and shows the finish message or the summary page;
    // false when the summary page was shown and its run-program box was
    // left unchecked (the settings' program is then not started).
    bool WriteLogAndFinishMessage();
    void StartSummaryChoices(const SummaryChoices& choices, const std::u16string& logPath, bool logWritten);
    bool WriteInstallLog(const std::u16string& path, const std::u16string& failures);
    void LogRefusal(const ExistingInstallation& existing, const std::u16string& reason);
    UninstallInputs RegistrationInputs() const;
    void SaveRecordAfterFatalError(std::u16string_view text);
    void WriteCancelledInstallLog();

    // Helpers.
    std::u16string Message(int n) const;
    [[noreturn]] void StopWithMessage(std::u16string_view text);
    // Ends the run with the folder's refusal message unless it may be the installation folder.
    void RefuseUnsafeFolder(const std::u16string& folder);
    // The folder rules on the folder and on the path the system resolves it to.
    FolderVerdict VerdictOnFolder(const std::u16string& folder);
    // A step that met a numbered fatal condition ends the run here.
    void EndIfFatal(StepResult result);
    [[noreturn]] void Cancel();
    bool RunAuthorBatch(const std::string& commands, int addition, bool titled, bool hidden,
                        std::uint32_t titleMessage = 0);
    bool Automatic() const { return m_state.automatic; }
    bool Silent() const { return m_silent; }
    bool Flag1(std::uint32_t bit) const { return (m_settings.settingsFlags1 & bit) != 0; }
    bool Flag2(std::uint32_t bit) const { return (m_settings.settingsFlags2 & bit) != 0; }
    bool PayloadBit(std::uint32_t bit) const { return (m_payloadFlags & bit) != 0; }

    LoadedPayload& m_payload;
    const OwnExecutable& m_executable;
    const SetupSection& m_section;
    InstallerSettings& m_settings;
    std::uint32_t m_payloadFlags;
    bool m_silent;
    InstallationState m_state;
    InstallationRecord m_record;
    Win32Progress m_progress;
    InstallContext m_context;

    std::u16string m_osName;
    std::u16string m_productVersion;
    std::optional<ExistingInstallation> m_existing;
    std::u16string m_masterFolder;
    DefaultInstallPath m_defaultPath;
    std::uint64_t m_totalSize = 0;
    HANDLE m_singleInstanceMutex = nullptr;  // held until the process ends
    RestorePoint* m_restorePoint = nullptr;
    bool m_workBegun = false;  // the progress page is open: the machine may change from here on
    bool m_walkStoppedByFatalError = false;  // the fatal error now reported ended the file walk
};

}  // namespace palisade
