// The pending-operations list and temporary replacement names.
#include "actions/pending_renames.h"

#include "core/format.h"

namespace palisade {

std::vector<std::u16string> SplitMultiString(std::u16string_view data) {
    std::vector<std::u16string> strings;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find(u'\0', start);
        if (end == std::u16string_view::npos) end = data.size();
        strings.emplace_back(data.substr(start, end - start));
        start = end + 1;
    }
    // The closing NUL reads as one last empty string.
    if (!strings.empty() && strings.back().empty() && !data.empty() && data.back() == u'\0') strings.pop_back();
    return strings;
}

std::u16string JoinMultiString(const std::vector<std::u16string>& strings) {
    std::u16string data;
    for (const std::u16string& text : strings) {
        data += text;
        data += u'\0';
    }
    data += u'\0';
    return data;
}

std::u16string StripPendingPrefix(std::u16string_view path) {
    std::size_t start = 0;
    while (start < path.size() && (path[start] == u'\\' || path[start] == u'?' || path[start] == u'!')) ++start;
    return std::u16string(path.substr(start));
}

PendingListEdit EditPendingList(std::vector<std::u16string> strings, const PathSet& installed) {
    PendingListEdit edit;
    if (strings.size() % 2 != 0) strings.emplace_back();
    for (std::size_t i = 0; i < strings.size(); i += 2) {
        const std::u16string& source = strings[i];
        const std::u16string& target = strings[i + 1];
        if (!target.empty()) {
            std::u16string stripped = StripPendingPrefix(target);
            if (installed.Contains(stripped)) {
                edit.logLines.push_back(
                    Format(u"File \"%s\" was removed from the list of pending moves.\r\n", {stripped}));
                edit.filesToDelete.push_back(StripPendingPrefix(source));
                edit.changed = true;
                continue;
            }
        } else {
            std::u16string stripped = StripPendingPrefix(source);
            if (installed.Contains(stripped)) {
                edit.logLines.push_back(
                    Format(u"File \"%s\" was removed from the list of pending deletions.\r\n", {stripped}));
                edit.changed = true;
                continue;
            }
        }
        edit.strings.push_back(source);
        edit.strings.push_back(target);
    }
    return edit;
}

std::u16string NumberedTempName(std::uint16_t number) {
    return Format(u"KRT%04X.%s", {unsigned(number), u"tmp"});
}

std::u16string TempNameWithExtension(std::uint16_t number, std::u16string_view extension) {
    if (!extension.empty() && extension.front() == u'.') extension.remove_prefix(1);
    return Format(u"KRT%4X.%s", {unsigned(number), extension});
}

}  // namespace palisade
