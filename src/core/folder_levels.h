// The folders a path passes through below a folder it lies in: what must be
// checked before acting on the path, so that nothing on the way leads
// somewhere else.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// Every level strictly below `folder` down to `path` itself, outermost first:
// C:\App\a\b\f.txt below C:\App gives C:\App\a, C:\App\a\b, C:\App\a\b\f.txt.
// Empty when `path` is not strictly inside `folder` (compared without regard
// to case; trailing backslashes on either are ignored).
std::vector<std::u16string> LevelsBelow(std::u16string_view path, std::u16string_view folder);

}  // namespace palisade
