// The shell folders, each found through the folder lookup chain and ending in
// its own fallback.
#include "variables/shell_folders.h"

#include "variables/folder_kind.h"
#include "variables/folder_lookup.h"
#include "variables/program_files_folders.h"
#include "variables/system_folders.h"

namespace palisade {
namespace {

using Fallback = std::u16string (*)(SystemFacts&);

// One shell folder: its CSIDL, its Shell Folders value, how many components to
// cut from HKLM "Common Startup" when that value is missing (0: no such step),
// and its fallback.
struct ShellFolderRule {
    ShellFolder folder;
    int csidl;
    FolderRegistry registry;
    std::u16string_view registryValue;
    int commonStartupLevelsUp;
    Fallback fallback;
};

std::u16string Path(ShellFolder folder, SystemFacts& facts) { return ShellFolderPath(folder, facts); }

std::u16string CommonFilesNative(SystemFacts& f) { return CommonFilesFolder(FolderKind::Native, f); }
std::u16string DesktopPath(SystemFacts& f) { return Path(ShellFolder::Desktop, f); }
std::u16string WindowsDesktop(SystemFacts& f) { return WindowsFolderJoined(f, u"Desktop"); }
std::u16string MyDocumentsOnC(SystemFacts&) { return u"c:\\My Documents"; }
std::u16string UserDocumentPath(SystemFacts& f) { return Path(ShellFolder::Document, f); }
std::u16string FavoritesPath(SystemFacts& f) { return Path(ShellFolder::Favorites, f); }
std::u16string WindowsFavorites(SystemFacts& f) { return WindowsFolderJoined(f, u"Favorites"); }
std::u16string WindowsFonts(SystemFacts& f) { return WindowsFolderJoined(f, u"Fonts"); }
std::u16string SMProgramsPath(SystemFacts& f) { return Path(ShellFolder::SMPrograms, f); }
std::u16string StartMenuPrograms(SystemFacts& f) { return JoinFolder(Path(ShellFolder::StartMenu, f), u"Programs"); }
std::u16string StartMenuPath(SystemFacts& f) { return Path(ShellFolder::StartMenu, f); }
std::u16string WindowsStartMenu(SystemFacts& f) { return WindowsFolderJoined(f, u"Start Menu"); }
std::u16string StartupPath(SystemFacts& f) { return Path(ShellFolder::Startup, f); }
std::u16string SMProgramsStartUp(SystemFacts& f) { return JoinFolder(SMProgramsPath(f), u"StartUp"); }

constexpr FolderRegistry kMachine = FolderRegistry::ShellFoldersMachine;
constexpr FolderRegistry kUser = FolderRegistry::ShellFoldersUser;

// CSIDL numbers are the shell's own.
const ShellFolderRule kRules[] = {
    {ShellFolder::AppDataAll, 35, kMachine, u"Common AppData", 0, CommonFilesNative},
    {ShellFolder::AppData, 26, kUser, u"AppData", 0, CommonFilesNative},
    {ShellFolder::DesktopAll, 25, kMachine, u"Common Desktop", 0, DesktopPath},
    {ShellFolder::Desktop, 16, kUser, u"Desktop", 0, WindowsDesktop},
    {ShellFolder::DocumentAll, 46, kMachine, u"Common Documents", 0, UserDocumentPath},
    {ShellFolder::Document, 5, kUser, u"Personal", 0, MyDocumentsOnC},
    {ShellFolder::FavoritesAll, 31, kMachine, u"Common Favorites", 0, FavoritesPath},
    {ShellFolder::Favorites, 6, kUser, u"Favorites", 0, WindowsFavorites},
    {ShellFolder::Fonts, 20, kUser, u"Fonts", 0, WindowsFonts},
    {ShellFolder::SMProgramsAll, 23, kMachine, u"Common Programs", 1, SMProgramsPath},
    {ShellFolder::SMPrograms, 2, kUser, u"Programs", 0, StartMenuPrograms},
    {ShellFolder::StartMenuAll, 22, kMachine, u"Common Start Menu", 2, StartMenuPath},
    {ShellFolder::StartMenu, 11, kUser, u"Start Menu", 0, WindowsStartMenu},
    {ShellFolder::StartupAll, 24, kMachine, u"Common Startup", 0, StartupPath},
    {ShellFolder::Startup, 7, kUser, u"Startup", 0, SMProgramsStartUp},
};

const ShellFolderRule& RuleFor(ShellFolder folder) {
    for (const auto& rule : kRules) {
        if (rule.folder == folder) return rule;
    }
    return kRules[0];  // unreachable: every ShellFolder has a rule
}

// The start-menu folders of all users derived from "Common Startup"
// (...\Start Menu\Programs\Startup) by cutting its last components.
std::optional<std::u16string> FromCommonStartup(SystemFacts& facts, int levelsUp) {
    auto path = ReadFolderValue(facts, FolderRegistry::ShellFoldersMachine, u"Common Startup");
    for (int i = 0; path && i < levelsUp; ++i) path = CutLastComponent(*path);
    if (path && path->empty()) return std::nullopt;
    return path;
}

}  // namespace

std::u16string ShellFolderPath(ShellFolder folder, SystemFacts& facts) {
    const ShellFolderRule& rule = RuleFor(folder);
    FolderLookup lookup;
    lookup.csidl = rule.csidl;
    lookup.registry = rule.registry;
    lookup.registryValue = rule.registryValue;
    if (auto found = LookUpFolder(facts, lookup)) return *found;
    if (rule.commonStartupLevelsUp > 0) {
        if (auto derived = FromCommonStartup(facts, rule.commonStartupLevelsUp)) return *derived;
    }
    return rule.fallback(facts);
}

std::u16string DesktopShortcutFolder(bool allUsers, std::u16string_view subFolder, SystemFacts& facts) {
    ShellFolder desktop = allUsers ? ShellFolder::DesktopAll : ShellFolder::Desktop;
    return JoinFolder(ShellFolderPath(desktop, facts), subFolder);
}

std::u16string ChosenStartMenuFolder(bool allUsers, std::u16string_view chosenName, SystemFacts& facts) {
    ShellFolder programs = allUsers ? ShellFolder::SMProgramsAll : ShellFolder::SMPrograms;
    return JoinFolder(ShellFolderPath(programs, facts), chosenName);
}

}  // namespace palisade
