// The folders a path passes through below a folder it lies in.
#include "core/folder_levels.h"

#include "core/text.h"

namespace palisade {
namespace {

std::u16string_view WithoutTrailingBackslashes(std::u16string_view path) {
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    return path;
}

}  // namespace

std::vector<std::u16string> LevelsBelow(std::u16string_view path, std::u16string_view folder) {
    path = WithoutTrailingBackslashes(path);
    folder = WithoutTrailingBackslashes(folder);
    std::vector<std::u16string> levels;
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != u'\\' ||
        !EqualsIgnoreCase(path.substr(0, folder.size()), folder)) {
        return levels;
    }
    for (std::size_t at = path.find(u'\\', folder.size() + 1); at != std::u16string_view::npos;
         at = path.find(u'\\', at + 1)) {
        if (path[at - 1] != u'\\') levels.emplace_back(path.substr(0, at));
    }
    levels.emplace_back(path);
    return levels;
}

}  // namespace palisade
