// One uninstallation run: the state the uninstaller's steps share. The steps
// before the removal live in uninstaller_win32.cpp, the removal itself in
// uninstall_removal_win32.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/command_line_options.h"
#include "log/install_log.h"
#include "log/installation_record.h"
#include "ui/win32/progress_win32.h"
#include "uninstall/uninstall_data_reader.h"
#include "uninstall/uninstaller_texts.h"
#include "uninstall/win32/uninstall_entry_win32.h"
#include "variables/installation_state.h"

namespace palisade {

class Win32SystemFacts;

class UninstallRun {
public:
    UninstallRun(std::u16string productName, const CommandLineOptions& options);

    // Steps 1 to 8: rights, entry, data, confirmation. Stops the run on failure.
    void Prepare();
    // Steps 9 to 22: the removal.
    void Remove();
    // Step 23: the end message and the restart question.
    void Finish();

    const UninstallEntry& Entry() const { return m_entry; }
    // The "~" and "!" folders of the record, expanded, once the list is walked.
    const std::vector<std::u16string>& RecordedFolders() const { return m_recordedFolders; }

private:
    void StartWizard(Win32SystemFacts& facts);

    // uninstall_removal_win32.cpp
    void RunUninstallBatch(const std::u16string& commands, bool hidden, const char16_t* valueName);
    void ReleaseSharedFiles();
    void RemoveSharedFile(const std::u16string& path);
    void UnpinTaskbarLinks();
    void WalkUninstallList();
    void RemoveOneFile(const std::u16string& path);
    void CancelPendingWork();
    void RemoveFoldersAndData();

    std::u16string Message(int number) const { return m_texts ? m_texts->Message(number) : std::u16string(); }
    std::u16string Expand(std::u16string_view text) const;
    bool AutomaticOrSilent() const;

    bool Automatic() const { return m_options.automatic; }
    bool Silent() const { return m_options.silent; }

    std::u16string m_productName;
    CommandLineOptions m_options;
    UninstallEntry m_entry;
    UninstallDataContents m_data;
    std::unique_ptr<UninstallerTexts> m_texts;
    InstallationState m_state;
    InstallLog m_log;
    std::unique_ptr<Win32Progress> m_progress;
    void* m_wow64Cookie = nullptr;
    bool m_wow64Off = false;
    bool m_restartNeeded = false;

    std::vector<std::u16string> m_recordedFolders;   // "~" and "!" lines, the shared folder
    std::vector<std::u16string> m_deletedFileFolders;
    std::vector<std::u16string> m_deferredFolders;   // folders of files deleted at restart
    // The product's files whose pending moves and deletions are cancelled:
    // every file line except those this run registered for deletion at restart.
    PathSet m_pendingTargets;
};

}  // namespace palisade
