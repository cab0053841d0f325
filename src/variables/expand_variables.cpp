// ExpandVariables: the table of the installer's variables, replaced in order,
// followed by the environment pass.
#include "variables/expand_variables.h"

#include "core/text.h"
#include "variables/folder_kind.h"
#include "variables/folder_lookup.h"
#include "variables/os_description.h"
#include "variables/program_files_folders.h"
#include "variables/shell_folders.h"
#include "variables/system_folders.h"

namespace palisade {
namespace {

struct Sources {
    const InstallationState& state;
    SystemFacts& facts;
};

using ValueOf = std::u16string (*)(Sources&);

struct Variable {
    std::u16string_view name;
    bool caseSensitive;
    ValueOf value;
};

std::u16string Flag(bool on) { return on ? u"1" : u"0"; }

std::u16string Trimmed(std::u16string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return std::u16string(text.substr(begin, end - begin));
}

// The index-th piece of a version split at "."; empty when there is none.
std::u16string VersionPiece(std::u16string_view version, std::size_t index) {
    if (version.empty()) return {};
    std::size_t begin = 0;
    for (std::size_t i = 0; i < index; ++i) {
        std::size_t dot = version.find(u'.', begin);
        if (dot == std::u16string_view::npos) return {};
        begin = dot + 1;
    }
    return std::u16string(version.substr(begin, version.find(u'.', begin) - begin));
}

FolderKind KindForBitness(const InstallationState& state) {
    return state.bitness == kBitness64Only ? FolderKind::View64 : FolderKind::View32;
}

std::u16string Shell(Sources& s, ShellFolder folder) { return ShellFolderPath(folder, s.facts); }

std::u16string InstallerFolder(Sources& s) {
    return CutLastComponent(s.facts.ModulePath()).value_or(std::u16string());
}

std::u16string InstallerFileName(Sources& s) {
    std::u16string path = s.facts.ModulePath();
    return path.substr(path.rfind(u'\\') + 1);
}

// The table, in replacement order: a value that holds another variable's name
// is expanded by the later entry.
const Variable kVariables[] = {
    {u"%AppDataAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::AppDataAll); }},
    {u"%AppDataDir%", false, [](Sources& s) { return Shell(s, ShellFolder::AppData); }},
    {u"%Automatic%", false, [](Sources& s) { return Flag(s.state.automatic); }},
    {u"%Bits%", false, [](Sources& s) { return std::u16string(s.facts.OsVersion().is64Bit ? u"64" : u"32"); }},
    {u"%BootDrive%", false, [](Sources& s) { return BootDrive(s.facts); }},
    {u"%CommonDir%", false, [](Sources& s) { return CommonFilesFolder(KindForBitness(s.state), s.facts); }},
    {u"%CommonDir32%", false, [](Sources& s) { return CommonFilesFolder(FolderKind::View32, s.facts); }},
    {u"%CommonDir64%", false, [](Sources& s) { return CommonFilesFolder(FolderKind::View64, s.facts); }},
    {u"%DesktopAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::DesktopAll); }},
    {u"%DesktopDir%", false, [](Sources& s) { return Shell(s, ShellFolder::Desktop); }},
    {u"%DesktopShortcuts%", false, [](Sources& s) { return s.state.desktopShortcutFolder; }},
    {u"%DeviceDir%", false, [](Sources& s) { return DeviceFolder(s.facts); }},
    {u"%DocumentAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::DocumentAll); }},
    {u"%DocumentDir%", false, [](Sources& s) { return Shell(s, ShellFolder::Document); }},
    {u"%Existing%", false, [](Sources& s) { return ToU16(s.state.existingInstall); }},
    {u"%FavoritesAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::FavoritesAll); }},
    {u"%FavoritesDir%", false, [](Sources& s) { return Shell(s, ShellFolder::Favorites); }},
    {u"%FontDir%", false, [](Sources& s) { return Shell(s, ShellFolder::Fonts); }},
    {u"%Inetpub%", false, [](Sources& s) { return InetpubFolder(s.facts); }},
    {u"%InstallDir%", false, [](Sources& s) { return s.state.installFolder; }},
    {u"%InstallDrive%", false, [](Sources& s) { return DriveOf(s.state.installFolder).value_or(u""); }},
    {u"%InstallerDir%", false, InstallerFolder},
    {u"%InstallerDrive%", false, [](Sources& s) { return DriveOf(s.facts.ModulePath()).value_or(u""); }},
    {u"%InstallerFilename%", false, InstallerFileName},
    {u"%InstallerFilepath%", false, [](Sources& s) { return s.facts.ModulePath(); }},
    {u"%Language%", false, [](Sources& s) { return s.state.languageName; }},
    {u"%MediaDir%", false, [](Sources& s) { return MediaFolder(s.facts); }},
    {u"%NetworkInstall%", false, [](Sources& s) { return Flag(IsNetworkFolder(s.state.installFolder, s.facts)); }},
    {u"%OldVersion%", false, [](Sources& s) { return s.state.oldVersion; }},
    {u"%OldVersionMajor%", true, [](Sources& s) { return VersionPiece(s.state.oldVersion, 0); }},
    {u"%OldVersionMinor%", true, [](Sources& s) { return VersionPiece(s.state.oldVersion, 1); }},
    {u"%Portable%", false, [](Sources& s) { return Flag(s.state.portable); }},
    {u"%ProductName%", false, [](Sources& s) { return s.state.productName; }},
    {u"%CompanyName%", false, [](Sources& s) { return s.state.companyName; }},
    {u"%ProgramsDir%", false, [](Sources& s) { return ProgramFilesFolder(KindForBitness(s.state), s.facts); }},
    {u"%ProgramsDir32%", false, [](Sources& s) { return ProgramFilesFolder(FolderKind::View32, s.facts); }},
    {u"%ProgramsDir64%", false, [](Sources& s) { return ProgramFilesFolder(FolderKind::View64, s.facts); }},
    {u"%SharedDir%", false, [](Sources& s) { return s.state.sharedFolder; }},
    {u"%SMProgramsAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::SMProgramsAll); }},
    {u"%SMProgramsDir%", false, [](Sources& s) { return Shell(s, ShellFolder::SMPrograms); }},
    {u"%StartMenuAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::StartMenuAll); }},
    {u"%StartMenuChosen%", false,
     [](Sources& s) { return ChosenStartMenuFolder(s.state.allUsers, s.state.startMenuFolderName, s.facts); }},
    {u"%StartMenuDir%", false, [](Sources& s) { return Shell(s, ShellFolder::StartMenu); }},
    {u"%StartupAllDir%", false, [](Sources& s) { return Shell(s, ShellFolder::StartupAll); }},
    {u"%StartupDir%", false, [](Sources& s) { return Shell(s, ShellFolder::Startup); }},
    {u"%SystemDir%", false, [](Sources& s) { return SystemFolderPath(s.facts); }},
    {u"%Temp%", false, [](Sources& s) { return TempFolder(s.facts); }},
    {u"%UninstallDir%", false, [](Sources& s) { return s.state.uninstallDataFolder; }},
    {u"%Version%", false, [](Sources& s) { return s.state.productVersion; }},
    {u"%WinDir%", false, [](Sources& s) { return s.facts.WindowsFolder(); }},
    {u"%OS%", false, [](Sources& s) { return ToU16(OsCode(s.facts.OsVersion())); }},
    {u"%OSMajor%", false, [](Sources& s) { return ToU16(s.facts.OsVersion().majorVersion); }},
    {u"%OSMinor%", false, [](Sources& s) { return ToU16(s.facts.OsVersion().minorVersion); }},
    {u"%OSName%", false, [](Sources& s) { return Trimmed(DescribeOs(s.facts.OsVersion(), kDescribeShort)); }},
    {u"%OSDescription%", false, [](Sources& s) { return Trimmed(DescribeOs(s.facts.OsVersion(), 0)); }},
    {u"%OSServer%", false, [](Sources& s) { return Flag(IsServerOs(s.facts.OsVersion())); }},
};

std::size_t Find(std::u16string_view text, std::u16string_view name, bool caseSensitive, std::size_t from) {
    return caseSensitive ? text.find(name, from) : FindIgnoreCase(text, name, from);
}

// One replace-all: occurrences left to right, the inserted value not searched
// again by this variable. The value is only worked out when the name occurs,
// so that a text without folder variables asks the system nothing.
std::u16string ReplaceVariable(std::u16string_view text, const Variable& variable, Sources& sources) {
    std::size_t hit = Find(text, variable.name, variable.caseSensitive, 0);
    if (hit == std::u16string_view::npos) return std::u16string(text);
    const std::u16string value = variable.value(sources);
    std::u16string out;
    std::size_t pos = 0;
    while (hit != std::u16string_view::npos) {
        out.append(text.substr(pos, hit - pos));
        out.append(value);
        pos = hit + variable.name.size();
        hit = Find(text, variable.name, variable.caseSensitive, pos);
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::u16string ReplaceInstallerVariables(std::u16string_view text, const InstallationState& state,
                                         SystemFacts& facts) {
    Sources sources{state, facts};
    std::u16string current(text);
    for (const Variable& variable : kVariables) current = ReplaceVariable(current, variable, sources);
    return current;
}

std::u16string ExpandVariables(std::u16string_view text, const InstallationState& state, SystemFacts& facts) {
    std::u16string replaced = ReplaceInstallerVariables(text, state, facts);
    std::optional<std::u16string> expanded = facts.ExpandEnvironment(replaced);
    if (!expanded) return replaced;
    if (expanded->size() > kExpandedTextLimit) expanded->resize(kExpandedTextLimit);
    return *expanded;
}

}  // namespace palisade
