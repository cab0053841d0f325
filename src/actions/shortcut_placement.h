// The rules of the shortcut step that need no system: which places a shortcut
// goes to, its target, arguments and start-in folder, the log texts and the
// uninstall-list conventions of pinned links.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/installation_record.h"
#include "payload/settings.h"

namespace palisade {

// One shortcut to create, whoever asked for it (a file entry, the author's
// list, the uninstaller). Texts are as stored: variables not yet expanded.
struct ShortcutJob {
    std::u16string name;  // the .lnk file's name without ".lnk"
    std::u16string description;
    std::u16string target;
    std::u16string arguments;
    std::u16string startIn;         // empty: the installation folder
    std::u16string explicitFolder;  // author shortcuts: a folder of their own
    std::uint8_t placements = 0;    // kPlace* bits
    bool permanent = false;         // created but never recorded for removal
    bool expandTarget = false;      // the target holds variables
    std::uint8_t showCommand = 0;   // 0: the shell-link default
    std::uint8_t iconIndex = 0;     // 0: the shell-link default
};

// A file entry's shortcut: entry bit 0x01 takes the `forFlag1` placements,
// bit 0x02 `forFlag2`, kind 5 `forKind5` (all that apply are combined). The
// target is the installed file, so it is never expanded again; without a
// shortcut name the file's name without its extension is taken.
ShortcutJob JobForEntry(const ShortcutRecord& record, const ShortcutPlacements& placements);

// A shortcut of the author's list: its own placements and explicit folder.
ShortcutJob JobForAuthor(const AuthorShortcut& shortcut);

// The uninstaller's shortcut: "Uninstall <product>" (the word taken from
// message 104 without its "&"), described by message 86, started in the
// uninstall data folder, placed as `forUninstaller` says.
ShortcutJob JobForUninstaller(std::u16string_view uninstallWord, std::u16string_view productName,
                              std::u16string_view description, std::u16string_view uninstaller,
                              std::u16string_view arguments, std::u16string_view uninstallDataFolder,
                              std::uint8_t placements);

// Where a shortcut file is made, in the order the step makes them.
enum class ShortcutPlace { DesktopFolder, Desktop, StartMenu, Startup, Explicit, Root };

// The places for `placements`: the desktop folder falls back to the desktop
// when the product has no desktop folder; a shortcut that is only to be
// pinned is first made in the start-menu folder (pinning needs a link file).
std::vector<ShortcutPlace> PlacesFor(std::uint8_t placements, bool hasDesktopFolder, bool hasExplicitFolder);

// Arguments that begin with ~" carry a quoted program that replaces the
// target: ~"C:\Tools\run.exe" -x gives the target C:\Tools\run.exe and the
// arguments -x (blanks after the closing quote dropped; without a closing
// quote the whole rest is the program). Other arguments pass unchanged.
struct TargetAndArguments {
    std::u16string target;
    std::u16string arguments;
};
TargetAndArguments SplitTildeArguments(std::u16string_view target, std::u16string_view arguments);

// The start-in folder after expansion: empty gives the installation folder;
// a folder that does not exist gives the installation folder and `logLine`.
struct StartInChoice {
    std::u16string folder;
    std::u16string logLine;  // empty when nothing is to be logged
};
StartInChoice ChooseStartIn(std::u16string_view expanded, std::u16string_view installFolder, bool exists);

// name + ".lnk" in `folder`; at a drive root "%c:\%s.lnk".
std::u16string ShortcutFilePath(std::u16string_view folder, std::u16string_view name);
std::u16string RootShortcutPath(char16_t driveLetter, std::u16string_view name);

// The run-log line of a created shortcut, e.g. "Desktop Shortcut(App) >>> path".
std::u16string PlacementLogLine(ShortcutPlace place, std::u16string_view name, std::u16string_view path);

// The failure entry of a shortcut that could not be made: "%s %s\r\n"
// (message 31, path) and "Code %s: %s\r\n\r\n" (result as 0x%08X, system text).
std::u16string CreationFailureText(std::u16string_view couldNotInstall, std::u16string_view path, std::uint32_t result,
                                   std::u16string_view systemText);

// "Pin to taskbar(%s): %s\r\n" with "OK" or "FAIL".
std::u16string PinLogLine(std::u16string_view linkPath, bool pinned);

// The link that the shell keeps for a pinned shortcut, below the user's
// application data folder. The uninstall list records it as a plain file
// line; the uninstaller recognises such lines with IsPinnedLinkLine and
// applies "taskbarunpin" to them before it deletes files.
std::u16string PinnedLinkPath(std::u16string_view appDataFolder, std::u16string_view linkPath);
bool IsPinnedLinkLine(std::u16string_view line);

// Whether the system offers the "taskbarpin" verb at all (Windows 7 on).
bool SystemSupportsPinning(std::uint32_t majorVersion, std::uint32_t minorVersion);

// Whether `path` lies strictly below `folder` (compared without regard to
// case; a trailing backslash on either is ignored).
bool IsBelowFolder(std::u16string_view path, std::u16string_view folder);

// The Desktop.ini text that gives a desktop folder its icon file.
std::u16string DesktopIniText(std::u16string_view iconFileName);

inline constexpr std::u16string_view kDesktopIconFileName = u"Desktop Icon.ico";
inline constexpr std::u16string_view kDesktopIniFileName = u"Desktop.ini";

}  // namespace palisade
