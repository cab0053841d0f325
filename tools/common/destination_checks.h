// Destinations an author rarely means: a relative path that climbs out of
// the folder it is placed in ("..\"), an alternate data stream ("name:stream"), a
// device name ("NUL", "com1.txt") and a drive-relative path ("C:name"). The
// builder refuses them unless the entry says they are intended; the
// inspector flags them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade::tools {

// The path an item is written to, as the installer composes it from the
// destination override and the item's name: an empty override gives the
// name, one ending in a backslash gets the name appended, one without a
// backslash is a new name. Unless absolute, the path is relative to the
// kind's folder (with a folder in the override: the installation folder, or
// the shared folder for shared files).
std::u16string EffectiveDestination(std::u16string_view destinationOverride, std::u16string_view name);

// What is unusual about `path` (an effective destination), one reason each
// ("climbs out of the folder it is placed in (..)", ...); empty when nothing is.
std::vector<std::string> UnusualDestination(std::u16string_view path);

}  // namespace palisade::tools
