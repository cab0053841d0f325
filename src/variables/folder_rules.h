// The tests an installation folder must pass, whoever chose it (the folder
// page, `/d`, the settings' default or the registry): no relative path, no
// drive root, no folder of the system or of a user's profile, no Program
// Files root, a drive that is present and of a kind that holds programs.
#pragma once

#include <string>
#include <string_view>

#include "core/message_numbers.h"
#include "variables/system_facts.h"

namespace palisade {

enum class FolderVerdict {
    Accepted,
    Empty,               // nothing but blanks
    NotAbsolute,         // relative, drive-relative ("C:x") or with "." / ".." components
    TooLong,             // longer than a folder path may be (259 characters)
    InvalidName,         // characters no folder name may hold
    DriveRoot,           // "C:\" or "\\server\share": a folder must be chosen below it
    ProgramFilesRoot,    // the Program Files folder itself: a folder must be chosen below it
    SystemFolder,        // the Windows folder, anything below the system folders, or a profile folder
    MissingDrive,        // no such drive
    UnsuitableDrive,     // a CD-ROM or a drive of unknown kind
};

// `folder` is expected without a trailing backslash (a drive root keeps its own).
FolderVerdict CheckInstallFolder(std::u16string_view folder, SystemFacts& facts);

// The catalogue message that tells the user why `verdict` refuses a folder
// (message 96 takes the drive letter); 0 for Accepted.
int FolderRefusalMessage(FolderVerdict verdict);

}  // namespace palisade
