// The text side of adding a folder to, or taking it out of, the system PATH:
// which folder is meant and how the semicolon-separated value changes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace palisade {

enum class PathEdit { Add, Remove };

// The folder meant by the "AddToPathSubfolder" setting: the installation
// folder when empty, the setting itself when absolute, else the setting
// joined to the installation folder.
std::u16string PathFolderFor(std::u16string_view subfolder, std::u16string_view installFolder);

// True when one element of `value` names `folder` (letter case and a
// trailing backslash ignored).
bool PathValueHasFolder(std::u16string_view value, std::u16string_view folder);

// `value` with `folder` appended after a ";" (added only when the value does
// not end with one); nullopt when the folder is already an element.
std::optional<std::u16string> AddFolderToPathValue(std::u16string_view value, std::u16string_view folder);

// `value` without every element naming `folder` and its separator; nullopt
// when no element names it. The other elements keep their text and order.
std::optional<std::u16string> RemoveFolderFromPathValue(std::u16string_view value, std::u16string_view folder);

}  // namespace palisade
