// The system's folder browser: a tree of the file system's folders that
// starts at a given folder and returns the one the user picks.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace palisade {

struct FolderBrowserRequest {
    std::u16string prompt;       // shown above the tree
    std::u16string startFolder;  // selected when the browser opens (when it exists)
    std::u16string rootFolder;   // when set, the tree shows this folder and what lies below it only
    bool newFolderButton = false;
};

// The folder picked with OK; nothing when the user cancelled or the picked
// item is not a file-system folder.
std::optional<std::u16string> BrowseForFolder(HWND owner, const FolderBrowserRequest& request);

}  // namespace palisade
