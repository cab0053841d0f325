// The file walk: for every archive item the destination, the overwrite
// decision, the folder, the write (or the restart replacement) and the records
// the later steps and the uninstaller need.
#include "actions/win32/file_installation_win32.h"

#include <windows.h>

#include "actions/file_destination.h"
#include "actions/overwrite_decision.h"
#include "actions/win32/component_hooks.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/reboot_replacement_win32.h"
#include "core/fatal_codes.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/win32/file_system.h"
#include "core/win32/system_error.h"
#include "payload/settings_flags.h"
#include "variables/shell_folders.h"

namespace palisade {
namespace {

// An item of this name is never shown by its path.
constexpr char kHiddenItemName[] = "b/0@+";

DestinationRules RulesOf(InstallContext& context) {
    DestinationRules rules;
    rules.folders.installFolder = context.state.installFolder;
    rules.folders.uninstallDataFolder = context.state.uninstallDataFolder;
    rules.folders.sharedFolder = context.state.sharedFolder;
    rules.folders.fontsFolder = ShellFolderPath(ShellFolder::Fonts, context.facts);
    rules.folders.systemFolder = context.facts.SystemFolder();
    rules.portable = context.state.portable;
    rules.portableSharedSubfolder = context.settings.sharedPath;
    rules.expand = [&context](std::u16string_view text) { return context.Expand(text); };
    return rules;
}

void ShowStatus(const FileEntry& entry, const std::u16string& destination, InstallContext& context) {
    if (context.Flag2(Flags2::kHideFilePaths) || entry.name == kHiddenItemName) {
        context.progress.SetStatusMessage(Msg::kInstallingCaption);
    } else {
        context.progress.SetStatusText(destination);
    }
}

// Makes the destination's folder; false (with the failure recorded) when it
// cannot be made.
bool PrepareFolder(const FileEntry& entry, const std::u16string& destination, InstallContext& context) {
    std::u16string folder = FolderOf(destination);
    if (SameFolder(folder, context.state.installFolder)) return true;
    std::vector<std::u16string> made;
    if (Win32Status created = CreateFolderPath(folder, &made); created.failed()) {
        std::u16string reason = FileExists(folder) ? u"Cannot create folder because there is a file with the same name."
                                                   : SystemErrorText(created.code());
        context.log.failures.Append(Format(u"%s %s\r\n%s\r\n\r\nNot installed: %s\r\n\r\n",
                                           {context.Message(Msg::kFolderNotCreated), folder, reason, destination}));
        return false;
    }
    bool permanent = (entry.flags & EntryFlags::kPermanent) != 0;
    if (!permanent && (IsRecordedKind(entry.kind, context.state.portable) || entry.kind == EntryKind::SharedFile)) {
        for (const std::u16string& level : made) context.record.uninstallItems.Record(level, UninstallItemType::Folder);
    }
    return true;
}

ExistingFileQuestions QuestionsAbout(const std::u16string& destination) {
    return {[&destination] { return FileExists(destination); },
            [&destination] { return ReadFileTimeStamp(destination); },
            [&destination] { return ReadFileVersion(destination); }};
}

StepResult InstallEntry(const FileEntry& entry, ItemWalker& walker, const DestinationRules& rules,
                        InstallContext& context) {
    Destination placed = PlaceEntry(entry, rules);
    if (placed.badKind) return StepResult::Fatal(FatalCode::kItemKind);
    const std::u16string& destination = placed.path;
    if (placed.fontListed) context.record.fontList += FontListPiece(EntryInfoText(entry), placed.name);
    ShowStatus(entry, destination, context);

    bool portable = context.state.portable;
    AddToListsBeforeDecision(entry, destination, portable, context.record);
    OverwriteDecision decision = DecideOverwrite(entry, destination, portable, QuestionsAbout(destination));
    if (!decision.logText.empty()) context.log.runLog.AppendWide(decision.logText);
    if (!decision.write) return StepResult::Continue();
    if (ReachesThroughReparsePoint(destination, context.state.installFolder)) {
        // A folder of an earlier installation replaced by a junction must not
        // take this file (and the installer's rights) to another place.
        context.log.failures.Append(Format(u"Failed to install %s\r\nA folder on its way is a link to another place.\r\n",
                                           {destination}));
        return StepResult::Continue();
    }
    if (std::optional<ShortcutRecord> shortcut = ShortcutFor(entry, destination)) {
        context.record.shortcutList.push_back(std::move(*shortcut));
    }
    if (placed.createFolder && !PrepareFolder(entry, destination, context)) return StepResult::Continue();
    if (decision.recordFile) context.record.uninstallItems.Record(destination, UninstallItemType::File);

    WriteRequest request{destination, entry.data, entry.timeStamp, entry.attributes, decision.existedBefore};
    if (entry.IsStreamed()) {
        request.streamedFrom = &walker;
        request.streamedSize = entry.streamedDataSize;
    }
    WriteOutcome outcome = WriteInstalledFile(request, context);
    if (outcome.fatalCode != 0) return StepResult::Fatal(outcome.fatalCode);
    if (!outcome.written) {
        bool deferredApplet = outcome.deferred && entry.kind == EntryKind::ControlPanelApplet;
        return deferredApplet ? AfterComponentFileWritten(entry, destination, true, context) : StepResult::Continue();
    }
    if (context.Flag1(Flags1::kLogEveryFile)) {
        context.log.runLog.AppendWidePieces({FileNameOf(placed.name), u" >>> ", destination, u"\r\n"});
    }
    context.record.installedFiles.Insert(destination);
    return AfterComponentFileWritten(entry, destination, false, context);
}

}  // namespace

StepResult InstallFiles(ItemWalker& walker, std::size_t itemCount, InstallContext& context) {
    DestinationRules rules = RulesOf(context);
    for (;;) {
        FileEntry entry;
        ItemStep step = walker.Next(entry);
        if (step.status == WalkStatus::Finished) return StepResult::Continue();
        if (step.status == WalkStatus::Failed) return StepResult::Fatal(step.errorCode);
        context.progress.SetProgress(ItemProgressPercent(step.index, itemCount));
        StepResult installed = InstallEntry(entry, walker, rules, context);
        if (installed.IsFatal()) return installed;
    }
}

void FinishFileWalk(InstallContext& context) {
    context.progress.SetProgress(91);
    context.progress.SetStatusMessage(Msg::kInstallingCaption);
    if (context.record.fontInstalled) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }
    CancelPendingOperations(context.record.installedFiles, &context.log.runLog);
    context.progress.SetProgress(92);
}

}  // namespace palisade
