// Where a temporary file beside a target goes: pure path arithmetic, so that
// the limits of file names and paths are checked without a file system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace palisade {

// The most characters one file name may have on the system's file systems.
inline constexpr std::size_t kLongestFileName = 255;

// `target` with `suffix` added to its file name. Where the name and the
// suffix together would pass kLongestFileName, the name is cut short before
// the suffix (never between the two halves of a surrogate pair), so a target
// whose own name fits always has a temporary that fits. The same target and
// suffix always give the same path.
std::u16string PathWithNameSuffix(std::u16string_view target, std::u16string_view suffix);

// A full path ("C:\..." or "\\server\share\...") in the form the system
// takes past MAX_PATH: "\\?\C:\..." or "\\?\UNC\server\share\...". A path
// already in a device or extended form is returned as it is.
std::u16string ExtendedLengthPath(std::u16string_view fullPath);

}  // namespace palisade
