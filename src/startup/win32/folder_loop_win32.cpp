// The installation folder loop of an interactive new installation: the
// folder page is shown again and again until the folder chosen on it passes
// every test; each refusal or No says why and returns to the page.
#include <windows.h>

#include <algorithm>

#include "core/win32/disk_space.h"
#include "core/win32/file_system.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "startup/folder_choice.h"
#include "startup/win32/installation_run_win32.h"
#include "ui/win32/message_box_win32.h"
#include "ui/win32/wizard_pages_win32.h"

namespace palisade {
namespace {

FolderPresence PresenceOf(const std::u16string& folder) {
    if (FolderExists(folder)) return FolderPresence::Folder;
    return FileExists(folder) ? FolderPresence::File : FolderPresence::Missing;
}

// Every question must be answered Yes; a refusal ends the prompts.
bool PassPrompts(const std::vector<FolderPrompt>& prompts) {
    for (const FolderPrompt& prompt : prompts) {
        if (prompt.kind == FolderPrompt::Kind::Refusal) {
            ShowInstallerMessage(prompt.text, prompt.caption, MB_OK | MB_ICONERROR);
            return false;
        }
        if (!AskYesNo(prompt.text, prompt.caption)) return false;
    }
    return true;
}

}  // namespace

FolderVerdict InstallationRun::VerdictOnFolder(const std::u16string& folder) {
    FolderVerdict verdict = CheckInstallFolder(folder, m_context.facts);
    // A short name or a link in the path must not hide a refused folder.
    if (verdict == FolderVerdict::Accepted) {
        verdict = CheckInstallFolder(NormaliseFolder(CanonicalPath(folder)), m_context.facts);
    }
    return verdict;
}

std::optional<std::vector<std::u16string>> InstallationRun::ChooseFolderOnPage(std::u16string& folder) {
    FolderPageSizes sizes{m_settings.fixedSize, m_settings.reserveSize, {}};
    for (std::int32_t size : m_payload.header.itemSizes) sizes.fileSizes.push_back(std::uint64_t(std::max(size, 0)));
    const MessageLookup message = [this](int n) { return Message(n); };
    for (;;) {
        const PageAnswer answer = ShowFolderPage(folder, sizes);
        if (answer == PageAnswer::Cancel) Cancel();
        if (answer == PageAnswer::Failed) return std::nullopt;
        folder = ChosenFolderText(folder);
        ChosenFolderFacts facts;
        facts.verdict = VerdictOnFolder(folder);
        facts.presence = PresenceOf(folder);
        facts.neededBytes = m_payload.header.TotalItemSize();
        if (std::u16string root = VolumeRootOf(folder); !root.empty() && facts.verdict == FolderVerdict::Accepted) {
            facts.freeBytes = FreeBytesForUser(root).ToOptional();
        }
        const FolderPlan plan = PlanChosenFolder(folder, facts, message);
        if (!PassPrompts(plan.prompts)) continue;
        std::vector<std::u16string> made;
        if (!plan.create) return made;
        const Win32Status created = CreateFolderPath(folder, &made);
        if (created.ok()) return made;
        // The parents made on the way go again: the user may choose another place.
        for (auto level = made.rbegin(); level != made.rend(); ++level) ::RemoveDirectoryW(ToWide(*level).c_str());
        (void)PassPrompts({FolderNotCreatedPrompt(folder, SystemErrorText(created.code()), message)});
    }
}

}  // namespace palisade
