// The Program Files and Common Files folders by FolderKind.
#pragma once

#include <string>

#include "variables/folder_kind.h"
#include "variables/system_facts.h"

namespace palisade {

// Known-folder ids of the Program Files folders.
extern const FolderGuid kFolderIdProgramFilesX64;        // {6D809377-6AF0-444B-8957-A3773F02200E}
extern const FolderGuid kFolderIdProgramFiles;           // {905E63B6-C1BF-494E-B29C-65B732D3D21A}
extern const FolderGuid kFolderIdProgramFilesCommonX64;  // {6365D5A7-0F0D-45E5-87F6-0DA56B6A4F7D}
extern const FolderGuid kFolderIdProgramFilesCommon;     // {F7F1ED05-9F6D-47A2-AAAE-29D317C6F066}

inline constexpr int kCsidlProgramFiles = 38;
inline constexpr int kCsidlProgramFilesCommon = 43;

// Both normalise the kind first (NormaliseFolderKind) and return the folder
// without a trailing backslash (a drive root keeps it).
std::u16string ProgramFilesFolder(FolderKind kind, SystemFacts& facts);
std::u16string CommonFilesFolder(FolderKind kind, SystemFacts& facts);

}  // namespace palisade
