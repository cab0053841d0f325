// The installation action that adds the shortcuts of the file entries and of
// the author's list, and the uninstaller's own shortcut at the finish.
#include "actions/win32/shortcuts_win32.h"

#include <windows.h>
// The system headers below need <windows.h> first.
#include <shellapi.h>

#include "actions/shortcut_placement.h"
#include "actions/win32/file_writer_win32.h"
#include "actions/win32/folder_rights_win32.h"
#include "actions/win32/shell_link_win32.h"
#include "core/format.h"
#include "core/message_numbers.h"
#include "core/win32/atomic_file.h"
#include "core/win32/com_apartment.h"
#include "core/win32/file_system.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"
#include "payload/settings_flags.h"
#include "variables/folder_lookup.h"
#include "variables/shell_folders.h"

namespace palisade {
namespace {

bool AllUsers(const InstallContext& context) { return context.state.allUsers || context.settings.shortcutMode == 1; }

bool ShortcutsSkipped(const InstallContext& context) {
    return context.state.portable && context.Payload(PayloadFlags::kPortableNoShortcuts);
}

// Makes the shortcuts of one run; the folders are looked up once.
class ShortcutMaker {
public:
    explicit ShortcutMaker(InstallContext& context) : m_context(context) {}
    void Make(const ShortcutJob& job);

private:
    struct Prepared {
        ShellLinkFields fields;
        std::u16string name;
        bool permanent = false;
    };
    Prepared Prepare(const ShortcutJob& job);
    std::optional<std::u16string> PathFor(ShortcutPlace place, const ShortcutJob& job, bool record);
    std::optional<std::u16string> MakeFolder(const std::u16string& folder, bool recordOwnFolder, bool record);
    bool PrepareDesktopFolder();
    void DecorateDesktopFolder(const std::u16string& folder);
    bool CreateLink(ShortcutPlace place, const Prepared& prepared, const std::u16string& path);
    void Pin(const std::u16string& linkPath, bool record);
    std::u16string DesktopFolderPath();

    ComApartment m_com;
    InstallContext& m_context;
    bool m_desktopFolderTried = false;
    bool m_desktopFolderReady = false;
    bool m_startMenuGranted = false;
};

ShortcutMaker::Prepared ShortcutMaker::Prepare(const ShortcutJob& job) {
    std::u16string target = job.expandTarget ? m_context.Expand(job.target) : job.target;
    TargetAndArguments split = SplitTildeArguments(target, m_context.Expand(job.arguments));
    std::u16string startIn = m_context.Expand(job.startIn);
    StartInChoice choice =
        ChooseStartIn(startIn, m_context.state.installFolder, !startIn.empty() && FolderExists(startIn));
    if (!choice.logLine.empty()) m_context.log.runLog.AppendWide(choice.logLine);
    Prepared prepared;
    prepared.fields.target = split.target;
    prepared.fields.arguments = split.arguments;
    prepared.fields.startIn = choice.folder;
    prepared.fields.description = job.description;
    prepared.fields.showCommand = job.showCommand;
    if (job.iconIndex != 0) {
        prepared.fields.iconFile = split.target;
        prepared.fields.iconIndex = job.iconIndex;
    }
    prepared.name = job.name;
    prepared.permanent = job.permanent;
    return prepared;
}

void ShortcutMaker::Make(const ShortcutJob& job) {
    m_context.progress.PumpMessages();
    if (job.name.empty()) return;  // a link needs a file name
    Prepared prepared = Prepare(job);
    std::u16string firstLink;
    bool hasDesktopFolder = !m_context.settings.desktopFolder.empty();
    for (ShortcutPlace place : PlacesFor(job.placements, hasDesktopFolder, !job.explicitFolder.empty())) {
        std::optional<std::u16string> path = PathFor(place, job, !job.permanent);
        if (!path) continue;
        if (!CreateLink(place, prepared, *path)) continue;
        if (firstLink.empty()) firstLink = *path;
        if (m_context.Flag1(Flags1::kLogEveryFile)) {
            m_context.log.runLog.AppendWide(PlacementLogLine(place, job.name, *path));
        }
        if (!job.permanent) m_context.record.uninstallItems.Record(*path, UninstallItemType::File);
    }
    if ((job.placements & kPlaceTaskbar) && !firstLink.empty() && !m_context.state.portable) {
        const OsVersionInfo& os = m_context.facts.OsVersion();
        if (SystemSupportsPinning(os.majorVersion, os.minorVersion)) Pin(firstLink, !job.permanent);
    }
}

std::optional<std::u16string> ShortcutMaker::PathFor(ShortcutPlace place, const ShortcutJob& job, bool record) {
    SystemFacts& facts = m_context.facts;
    bool allUsers = AllUsers(m_context);
    switch (place) {
        case ShortcutPlace::DesktopFolder:
            if (!PrepareDesktopFolder()) return std::nullopt;
            return ShortcutFilePath(DesktopFolderPath(), job.name);
        case ShortcutPlace::Desktop:
            return ShortcutFilePath(ShellFolderPath(allUsers ? ShellFolder::DesktopAll : ShellFolder::Desktop, facts),
                                    job.name);
        case ShortcutPlace::StartMenu: {
            std::u16string folder = ChosenStartMenuFolder(allUsers, m_context.state.startMenuFolderName, facts);
            bool ownFolder = !m_context.state.startMenuFolderName.empty();
            std::optional<std::u16string> made = MakeFolder(folder, ownFolder, record);
            if (!made) return std::nullopt;
            // The product's start-menu folder is opened to all users once
            // it exists (when the settings ask for open folders at all).
            if (ownFolder && !m_startMenuGranted) GrantFolderRights(*made, m_context);
            m_startMenuGranted = true;
            return ShortcutFilePath(*made, job.name);
        }
        case ShortcutPlace::Startup:
            return ShortcutFilePath(ShellFolderPath(allUsers ? ShellFolder::StartupAll : ShellFolder::Startup, facts),
                                    job.name);
        case ShortcutPlace::Explicit: {
            std::u16string startMenu = ChosenStartMenuFolder(allUsers, m_context.state.startMenuFolderName, facts);
            std::u16string folder = m_context.Expand(job.explicitFolder);
            bool absolute = (folder.size() >= 2 && folder[1] == u':') || folder.substr(0, 2) == u"\\\\";
            // A relative folder lies below the product's start-menu folder.
            if (!absolute) folder = JoinFolder(startMenu, folder);
            // A folder inside the product's own folders is the product's even
            // when an earlier installation made it; elsewhere only the levels
            // made now are (the folder may be one of the system's own).
            bool ownFolder = IsBelowFolder(folder, m_context.state.installFolder) ||
                             (!m_context.state.startMenuFolderName.empty() && IsBelowFolder(folder, startMenu));
            std::optional<std::u16string> made = MakeFolder(folder, ownFolder, record);
            return made ? std::optional(ShortcutFilePath(*made, job.name)) : std::nullopt;
        }
        case ShortcutPlace::Root: {
            std::u16string windows = facts.WindowsFolder();
            char16_t drive = !windows.empty() ? windows[0] : u'C';
            return RootShortcutPath(drive, job.name);
        }
    }
    return std::nullopt;
}

// Creates `folder` and records for removal the levels this run made, and
// the folder itself when it is the product's own (its start-menu folder).
std::optional<std::u16string> ShortcutMaker::MakeFolder(const std::u16string& folder, bool recordOwnFolder,
                                                        bool record) {
    std::vector<std::u16string> missing;
    if (Win32Status created = CreateFolderPath(folder, &missing); created.failed()) {
        m_context.log.runLog.AppendFormattedWide(u"Failed to create folder %s: %s\r\n\r\n",
                                                 {folder, SystemErrorText(created.code())});
        return std::nullopt;
    }
    if (record) {
        for (const std::u16string& level : missing)
            m_context.record.uninstallItems.Record(level, UninstallItemType::Folder);
        if (recordOwnFolder) m_context.record.uninstallItems.Record(folder, UninstallItemType::Folder);
    }
    return RemoveTrailingBackslash(folder);
}

std::u16string ShortcutMaker::DesktopFolderPath() {
    // The main sequence may have settled %DesktopShortcuts% already; when it
    // has not, it is worked out here and kept for the later steps.
    InstallationState& state = m_context.state;
    if (state.desktopShortcutFolder.empty()) {
        state.desktopShortcutFolder =
            DesktopShortcutFolder(AllUsers(m_context), m_context.settings.desktopFolder, m_context.facts);
    }
    return state.desktopShortcutFolder;
}

bool ShortcutMaker::PrepareDesktopFolder() {
    if (m_desktopFolderTried) return m_desktopFolderReady;
    m_desktopFolderTried = true;
    std::u16string folder = DesktopFolderPath();
    std::vector<std::u16string> made;
    if (Win32Status created = CreateFolderPath(folder, &made); created.failed()) {
        m_context.log.runLog.AppendFormattedWide(u"Failed to create folder %s: %s\r\n\r\n",
                                                 {folder, SystemErrorText(created.code())});
        return false;
    }
    // Only a folder this run made is decorated and recorded: the desktop
    // itself, or a folder that was there before, keeps its own desktop.ini.
    if (!made.empty()) {
        for (const std::u16string& level : made) m_context.record.uninstallItems.Record(level, UninstallItemType::Folder);
        m_context.record.uninstallItems.Record(JoinFolder(folder, kDesktopIniFileName), UninstallItemType::File);
        DecorateDesktopFolder(folder);
    }
    m_desktopFolderReady = true;
    return true;
}

// The folder's own icon: the settings' icon, else "Desktop Icon.ico" that the
// product installed into the uninstall data folder; without either the
// folder keeps the shell's folder icon.
void ShortcutMaker::DecorateDesktopFolder(const std::u16string& folder) {
    std::u16string icon = JoinFolder(folder, kDesktopIconFileName);
    std::u16string source = JoinFolder(m_context.state.uninstallDataFolder, kDesktopIconFileName);
    const ByteBlob& bytes = m_context.settings.desktopFolderIcon;
    bool ok;
    if (!bytes.empty()) {
        ok = WriteFileAtomically(icon, ByteView(bytes.data(), bytes.size())).ok();
    } else if (FileExists(source)) {
        ok = ::CopyFileW(ToWide(source).c_str(), ToWide(icon).c_str(), FALSE) != 0;
    } else {
        return;
    }
    m_context.record.uninstallItems.Record(icon, UninstallItemType::File);
    std::u16string ini = JoinFolder(folder, kDesktopIniFileName);
    if (ok) {
        // UTF-16LE with its byte-order mark: the form the shell reads for any name.
        std::u16string text = u"\uFEFF" + DesktopIniText(kDesktopIconFileName);
        ::SetFileAttributesW(ToWide(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
        ok = WriteFileAtomically(ini, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size() * 2)).ok();
    }
    if (ok) {
        ::SetFileAttributesW(ToWide(icon).c_str(), FILE_ATTRIBUTE_HIDDEN);
        ::SetFileAttributesW(ToWide(ini).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        std::wstring wideFolder = ToWide(folder);
        DWORD attributes = ::GetFileAttributesW(wideFolder.c_str());
        ok = attributes != INVALID_FILE_ATTRIBUTES &&
             ::SetFileAttributesW(wideFolder.c_str(), (attributes & ~FILE_ATTRIBUTE_DIRECTORY) | FILE_ATTRIBUTE_SYSTEM);
    }
    if (!ok) m_context.log.runLog.AppendWide(u"Failed to create Desktop shortcut folder icon \"" + icon + u"\"\r\n");
}

bool ShortcutMaker::CreateLink(ShortcutPlace place, const Prepared& prepared, const std::u16string& path) {
    std::int32_t result = 0;
    GuardedResult guarded = RunGuarded([&] { result = SaveShellLink(prepared.fields, path); });
    if (guarded.faulted) {
        m_context.log.runLog.AppendNarrow(place == ShortcutPlace::Root ? "Crash while installing root shortcut.\r\n"
                                                                       : "Crash while installing shortcut.\r\n");
        return false;
    }
    if (result >= 0) return true;
    std::uint32_t code = std::uint32_t(result);
    m_context.log.failures.Append(CreationFailureText(m_context.Message(Msg::kCouldNotInstall), path, code, SystemErrorText(code)));
    return false;
}

void ShortcutMaker::Pin(const std::u16string& linkPath, bool record) {
    m_context.progress.SetStatusText(u"Pin to taskbar");
    std::wstring file = ToWide(linkPath);
    INT_PTR answer = 0;
    GuardedResult guarded = RunGuarded([&] {
        answer =
            reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"taskbarpin", file.c_str(), nullptr, nullptr, SW_HIDE));
    });
    if (guarded.faulted) {
        m_context.log.runLog.AppendNarrow("Crash while pinning to taskbar.\r\n");
        return;
    }
    bool pinned = answer > 32;
    m_context.log.runLog.AppendWide(PinLogLine(linkPath, pinned));
    if (pinned && record) {
        std::u16string appData = ShellFolderPath(ShellFolder::AppData, m_context.facts);
        m_context.record.uninstallItems.Record(PinnedLinkPath(appData, linkPath), UninstallItemType::File);
    }
}

}  // namespace

void CreateShortcuts(InstallContext& context) {
    // ShortcutMode 1 installs for all users; the product key's "ShortcutMode"
    // (written later) reports the same choice.
    if (context.settings.shortcutMode == 1) context.state.allUsers = true;
    if (ShortcutsSkipped(context)) return;
    ShortcutMaker maker(context);
    for (const ShortcutRecord& record : context.record.shortcutList) {
        maker.Make(JobForEntry(record, context.settings.shortcutPlacements));
    }
    for (const AuthorShortcut& shortcut : context.settings.authorShortcuts) maker.Make(JobForAuthor(shortcut));
}

void CreateUninstallShortcuts(InstallContext& context, const std::u16string& uninstaller,
                              const std::u16string& arguments) {
    // Without an uninstaller there is nothing for the shortcut to start.
    if (!context.Flag1(Flags1::kUninstaller) || ShortcutsSkipped(context)) return;
    std::uint8_t placements = context.settings.shortcutPlacements.forUninstaller;
    if (placements == 0) return;
    ShortcutMaker maker(context);
    maker.Make(JobForUninstaller(context.Message(Msg::kUninstallButton), context.settings.displayName, context.Message(Msg::kUninstallAction), uninstaller,
                                 arguments, context.state.uninstallDataFolder, placements));
}

}  // namespace palisade
