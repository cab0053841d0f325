// Deleting the product's files and folders: now, or at the next restart when
// a file is in use, and folders only when nothing but shell leftovers remain.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace palisade {

enum class FileRemoval {
    Deleted,    // gone now
    Absent,     // there was nothing to delete
    AtRestart,  // in use: registered for deletion at the next restart
    Failed,     // neither
};

// Clears the read-only, hidden and system attributes first, so that an
// attribute the product set cannot keep its file.
FileRemoval RemoveFileNowOrAtRestart(std::u16string_view path);

// The names in `folder`, without "." and ".."; empty when it cannot be read.
std::vector<std::u16string> FolderEntryNames(std::u16string_view folder);

// Removes `folder` when it is empty or holds only "thumbs.db" and
// "desktop.ini" (which are deleted first); true when the folder is gone.
bool RemoveFolderIfEmpty(std::u16string_view folder);

}  // namespace palisade
