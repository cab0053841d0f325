// Where a file entry goes: its name after a renaming override, the folder of
// its kind or its override, and whether that folder has to be made.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "payload/file_entry.h"

namespace palisade {

// The folders a destination can start from, without trailing backslashes.
struct DestinationFolders {
    std::u16string installFolder;        // %InstallDir%
    std::u16string uninstallDataFolder;  // %UninstallDir%
    std::u16string sharedFolder;         // %SharedDir%
    std::u16string fontsFolder;
    std::u16string systemFolder;
};

struct DestinationRules {
    DestinationFolders folders;
    bool portable = false;
    // The shared sub-folder name; in a portable installation relative
    // overrides of shared files are placed below it.
    std::u16string portableSharedSubfolder;
    std::function<std::u16string(std::u16string_view)> expand;  // the installer's variables
};

struct Destination {
    bool badKind = false;          // the entry's kind is none of the known ones
    std::u16string name;           // the file name after a renaming override
    std::u16string path;           // full destination path
    bool createFolder = false;     // the destination's folder is made when missing
    bool fontListed = false;       // a font placed in the Fonts folder that the uninstaller removes
};

bool IsKnownKind(EntryKind kind);
// Kinds whose default folder is the installation folder.
bool IsInstallFolderKind(EntryKind kind);

Destination PlaceEntry(const FileEntry& entry, const DestinationRules& rules);

// `a` and `b` joined with exactly one backslash between them.
std::u16string JoinPath(std::u16string_view a, std::u16string_view b);
// Everything before the last backslash (empty when there is none).
std::u16string FolderOf(std::u16string_view path);
// Everything after the last backslash.
std::u16string FileNameOf(std::u16string_view path);
// A drive-letter path ("C:...") or one starting with a backslash (UNC or root).
bool IsAbsolutePath(std::u16string_view path);
// Both name the same folder, ignoring case and trailing backslashes.
bool SameFolder(std::u16string_view a, std::u16string_view b);

// The font list's piece for one font: face and file name, each quoted and
// followed by one blank.
std::u16string FontListPiece(std::u16string_view face, std::u16string_view fileName);

}  // namespace palisade
