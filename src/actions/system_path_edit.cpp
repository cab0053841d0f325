// PATH value editing by whole elements, so that "C:\App" never matches inside
// "C:\App\bin" and a folder is never added twice.
#include "actions/system_path_edit.h"

#include <vector>

#include "actions/file_destination.h"
#include "core/text.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

std::u16string_view WithoutTrailingBackslash(std::u16string_view text) {
    while (text.size() > 3 && text.back() == u'\\') text.remove_suffix(1);
    return text;
}

bool SameElement(std::u16string_view element, std::u16string_view folder) {
    std::u16string_view trimmed = element;
    while (!trimmed.empty() && IsBlank(trimmed.front())) trimmed.remove_prefix(1);
    while (!trimmed.empty() && IsBlank(trimmed.back())) trimmed.remove_suffix(1);
    if (trimmed.empty()) return false;
    return EqualsIgnoreCase(WithoutTrailingBackslash(trimmed), WithoutTrailingBackslash(folder));
}

std::vector<std::u16string_view> Elements(std::u16string_view value) {
    std::vector<std::u16string_view> elements;
    std::size_t start = 0;
    for (;;) {
        std::size_t semicolon = value.find(u';', start);
        if (semicolon == std::u16string_view::npos) {
            elements.push_back(value.substr(start));
            return elements;
        }
        elements.push_back(value.substr(start, semicolon - start));
        start = semicolon + 1;
    }
}

}  // namespace

std::u16string PathFolderFor(std::u16string_view subfolder, std::u16string_view installFolder) {
    if (subfolder.empty()) return std::u16string(installFolder);
    if (IsAbsolutePath(subfolder)) return std::u16string(subfolder);
    return JoinFolder(installFolder, subfolder);
}

bool PathValueHasFolder(std::u16string_view value, std::u16string_view folder) {
    for (std::u16string_view element : Elements(value)) {
        if (SameElement(element, folder)) return true;
    }
    return false;
}

std::optional<std::u16string> AddFolderToPathValue(std::u16string_view value, std::u16string_view folder) {
    if (folder.empty() || PathValueHasFolder(value, folder)) return std::nullopt;
    std::u16string result(value);
    if (!result.empty() && result.back() != u';') result += u';';
    result.append(folder);
    return result;
}

std::optional<std::u16string> RemoveFolderFromPathValue(std::u16string_view value, std::u16string_view folder) {
    if (folder.empty() || !PathValueHasFolder(value, folder)) return std::nullopt;
    std::u16string result;
    bool first = true;
    for (std::u16string_view element : Elements(value)) {
        if (SameElement(element, folder)) continue;
        if (!first) result += u';';
        result.append(element);
        first = false;
    }
    return result;
}

}  // namespace palisade
