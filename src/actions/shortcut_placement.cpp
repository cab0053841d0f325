// The system-free rules of the shortcut step: places, target and argument
// split, start-in choice, log texts and the pinned-link convention.
#include "actions/shortcut_placement.h"

#include "core/format.h"
#include "core/program_narrow.h"
#include "core/text.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

constexpr std::u16string_view kPinnedFolder = u"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\";

std::u16string_view FileNameOf(std::u16string_view path) {
    std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

// The file name without its extension.
std::u16string StemOf(std::u16string_view path) {
    std::u16string_view name = FileNameOf(path);
    std::size_t dot = name.rfind(u'.');
    return std::u16string(dot == std::u16string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

}  // namespace

ShortcutJob JobForEntry(const ShortcutRecord& record, const ShortcutPlacements& placements) {
    ShortcutJob job;
    // A kind 5 entry stores no shortcut name unless it also has a shortcut bit.
    job.name = record.name.empty() ? StemOf(record.target) : record.name;
    job.description = record.description;
    job.target = record.target;
    job.arguments = record.arguments;
    job.startIn = record.startIn;
    job.permanent = record.permanent;
    if (record.flag1) job.placements |= placements.forFlag1;
    if (record.flag2) job.placements |= placements.forFlag2;
    if (record.alwaysShortcut) job.placements |= placements.forKind5;
    return job;
}

ShortcutJob JobForAuthor(const AuthorShortcut& shortcut) {
    ShortcutJob job;
    job.name = shortcut.name;
    job.description = shortcut.description;
    job.target = shortcut.target;
    job.arguments = shortcut.arguments;
    job.startIn = DecodeProgramNarrow(shortcut.startIn);
    job.explicitFolder = shortcut.folder;
    job.placements = shortcut.placements;
    job.permanent = (shortcut.flags & kShortcutPermanent) != 0;
    job.expandTarget = (shortcut.flags & kShortcutExpandTarget) != 0;
    job.showCommand = shortcut.showCommand;
    job.iconIndex = shortcut.iconIndex;
    return job;
}

ShortcutJob JobForUninstaller(std::u16string_view uninstallWord, std::u16string_view productName,
                              std::u16string_view description, std::u16string_view uninstaller,
                              std::u16string_view arguments, std::u16string_view uninstallDataFolder,
                              std::uint8_t placements) {
    // The button's access key goes: "&Uninstall" and, as Japanese and
    // Chinese buttons write it, "アンインストール(&U)".
    std::u16string word(uninstallWord);
    std::size_t key = word.find(u"(&");
    if (key != std::u16string::npos && key + 4 == word.size() && word.back() == u')') word.erase(key);
    while (!word.empty() && word.back() == u' ') word.pop_back();
    word = ReplaceAll(word, u"&", u"");
    if (word.empty()) word = u"Uninstall";
    std::u16string name = word + u" " + std::u16string(productName);
    // The product name becomes part of a file name: characters that no file
    // name may hold are replaced.
    for (char16_t& c : name) {
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) c = u'_';
    }
    ShortcutJob job;
    job.name = name;
    job.description = description;
    job.target = uninstaller;
    job.arguments = arguments;
    job.startIn = uninstallDataFolder;
    job.placements = placements;
    return job;
}

std::vector<ShortcutPlace> PlacesFor(std::uint8_t placements, bool hasDesktopFolder, bool hasExplicitFolder) {
    if ((placements & kPlaceDesktopFolder) && !hasDesktopFolder) {
        placements = std::uint8_t((placements & ~kPlaceDesktopFolder) | kPlaceDesktop);
    }
    constexpr std::uint8_t kMadeSomewhere =
        kPlaceStartMenu | kPlaceDesktop | kPlaceDesktopFolder | kPlaceStartup | kPlaceRoot;
    if ((placements & kPlaceTaskbar) && !(placements & kMadeSomewhere) && !hasExplicitFolder) {
        placements |= kPlaceStartMenu;
    }
    std::vector<ShortcutPlace> places;
    if (placements & kPlaceDesktopFolder) places.push_back(ShortcutPlace::DesktopFolder);
    if (placements & kPlaceDesktop) places.push_back(ShortcutPlace::Desktop);
    if (placements & kPlaceStartMenu) places.push_back(ShortcutPlace::StartMenu);
    if (placements & kPlaceStartup) places.push_back(ShortcutPlace::Startup);
    if (hasExplicitFolder) places.push_back(ShortcutPlace::Explicit);
    if (placements & kPlaceRoot) places.push_back(ShortcutPlace::Root);
    return places;
}

TargetAndArguments SplitTildeArguments(std::u16string_view target, std::u16string_view arguments) {
    if (arguments.size() < 2 || arguments[0] != u'~' || arguments[1] != u'"') {
        return {std::u16string(target), std::u16string(arguments)};
    }
    std::u16string_view rest = arguments.substr(2);
    std::size_t close = rest.find(u'"');
    if (close == std::u16string_view::npos) return {std::u16string(rest), u""};
    std::u16string_view after = rest.substr(close + 1);
    while (!after.empty() && IsBlank(after.front())) after.remove_prefix(1);
    return {std::u16string(rest.substr(0, close)), std::u16string(after)};
}

StartInChoice ChooseStartIn(std::u16string_view expanded, std::u16string_view installFolder, bool exists) {
    if (expanded.empty()) return {std::u16string(installFolder), u""};
    if (exists) return {std::u16string(expanded), u""};
    return {std::u16string(installFolder),
            u"Shortcut \"Start In\" folder \"" + std::u16string(expanded) + u"\" doesn't exist.\r\n"};
}

std::u16string ShortcutFilePath(std::u16string_view folder, std::u16string_view name) {
    return JoinFolder(folder, std::u16string(name) + u".lnk");
}

std::u16string RootShortcutPath(char16_t driveLetter, std::u16string_view name) {
    return Format(u"%c:\\%s.lnk", {int(driveLetter), name});
}

std::u16string PlacementLogLine(ShortcutPlace place, std::u16string_view name, std::u16string_view path) {
    std::u16string_view format;
    switch (place) {
        case ShortcutPlace::DesktopFolder:
            format = u"Desktop Folder Shortcut(%s) >>> %s\r\n";
            break;
        case ShortcutPlace::Desktop:
            format = u"Desktop Shortcut(%s) >>> %s\r\n";
            break;
        case ShortcutPlace::StartMenu:
            format = u"Start Menu Shortcut(%s) >>> %s\r\n";
            break;
        case ShortcutPlace::Startup:
            format = u"Startup Shortcut(%s) >>> %s\r\n";
            break;
        case ShortcutPlace::Explicit:
            format = u"Shortcut(%s) >>> %s\r\n";
            break;
        case ShortcutPlace::Root:
            format = u"Root Shortcut(%s) >>> %s\r\n";
            break;
    }
    return Format(format, {name, path});
}

std::u16string CreationFailureText(std::u16string_view couldNotInstall, std::u16string_view path, std::uint32_t result,
                                   std::u16string_view systemText) {
    std::u16string code = u"0x" + ToU16Hex(result, 8);
    return Format(u"%s %s\r\n", {couldNotInstall, path}) + Format(u"Code %s: %s\r\n\r\n", {code, systemText});
}

std::u16string PinLogLine(std::u16string_view linkPath, bool pinned) {
    return Format(u"Pin to taskbar(%s): %s\r\n", {linkPath, pinned ? u"OK" : u"FAIL"});
}

std::u16string PinnedLinkPath(std::u16string_view appDataFolder, std::u16string_view linkPath) {
    std::u16string folder(appDataFolder);
    while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
    return folder + std::u16string(kPinnedFolder) + std::u16string(FileNameOf(linkPath));
}

bool IsPinnedLinkLine(std::u16string_view line) { return FindIgnoreCase(line, kPinnedFolder) != std::u16string::npos; }

bool SystemSupportsPinning(std::uint32_t majorVersion, std::uint32_t minorVersion) {
    return majorVersion > 6 || (majorVersion == 6 && minorVersion >= 1);
}

bool IsBelowFolder(std::u16string_view path, std::u16string_view folder) {
    while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1) return false;
    return path[folder.size()] == u'\\' && StartsWithIgnoreCase(path, folder);
}

std::u16string DesktopIniText(std::u16string_view iconFileName) {
    return u"[.ShellClassInfo]\r\nIconFile=" + std::u16string(iconFileName) + u"\r\nIconIndex=0\r\n";
}

}  // namespace palisade
