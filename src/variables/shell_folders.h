// The shell folders (desktop, documents, start menu ...) for the current user
// and for all users, each found through the folder lookup chain.
#pragma once

#include <string>
#include <string_view>

#include "variables/system_facts.h"

namespace palisade {

enum class ShellFolder {
    AppDataAll,     // %AppDataAllDir%
    AppData,        // %AppDataDir%
    DesktopAll,     // %DesktopAllDir%
    Desktop,        // %DesktopDir%
    DocumentAll,    // %DocumentAllDir%
    Document,       // %DocumentDir%
    FavoritesAll,   // %FavoritesAllDir%
    Favorites,      // %FavoritesDir%
    Fonts,          // %FontDir%
    SMProgramsAll,  // %SMProgramsAllDir%
    SMPrograms,     // %SMProgramsDir%
    StartMenuAll,   // %StartMenuAllDir%
    StartMenu,      // %StartMenuDir%
    StartupAll,     // %StartupAllDir%
    Startup,        // %StartupDir%
};

// The folder, without a trailing backslash (a drive root keeps it); never
// empty, since every folder ends in a fallback.
std::u16string ShellFolderPath(ShellFolder folder, SystemFacts& facts);

// The folder that receives desktop shortcuts: the all-users or the user's
// desktop joined with the desktop sub-folder of the settings.
std::u16string DesktopShortcutFolder(bool allUsers, std::u16string_view subFolder, SystemFacts& facts);

// The start-menu programs folder (all users or the user's) joined with the
// start-menu folder name chosen in the wizard.
std::u16string ChosenStartMenuFolder(bool allUsers, std::u16string_view chosenName, SystemFacts& facts);

}  // namespace palisade
