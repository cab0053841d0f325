// Reads the shared-files record and lowers the counts it names.
#include "uninstall/shared_release.h"

#include <set>

#include "core/text.h"

namespace palisade {
namespace {

SharedEntry EntryOf(std::u16string_view quoted) {
    SharedEntry entry;
    if (!quoted.empty() && quoted.front() == u'^') {
        entry.mark = SharedMark::ComServer;
        quoted.remove_prefix(1);
    }
    if (!quoted.empty() && quoted.front() == u' ') {
        entry.mark = SharedMark::Permanent;
        quoted.remove_prefix(1);
    }
    if (!quoted.empty() && quoted.front() == u'\u00A9') {
        if (entry.mark == SharedMark::None) entry.mark = SharedMark::TypeLibrary;
        quoted.remove_prefix(1);
    }
    entry.path = std::u16string(quoted);
    return entry;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = FoldCase(c);
    return folded;
}

}  // namespace

std::vector<SharedEntry> ParseSharedFilesRecord(std::u16string_view record) {
    std::vector<SharedEntry> entries;
    std::size_t at = 0;
    while (true) {
        std::size_t open = record.find(u'"', at);
        if (open == std::u16string_view::npos) break;
        std::size_t close = record.find(u'"', open + 1);
        if (close == std::u16string_view::npos) break;
        SharedEntry entry = EntryOf(record.substr(open + 1, close - open - 1));
        if (!entry.path.empty()) entries.push_back(std::move(entry));
        at = close + 1;
    }
    return entries;
}

std::vector<SharedRelease> ReleaseSharedCounts(const std::vector<SharedEntry>& entries, SharedCountStore& counts) {
    std::vector<SharedRelease> releases;
    std::set<std::u16string> lowered;
    for (const SharedEntry& entry : entries) {
        if (!lowered.insert(Folded(entry.path)).second) continue;
        SharedRelease release;
        release.entry = entry;
        std::optional<std::uint32_t> count = counts.Read(entry.path);
        if (count && *count > 1) {
            (void)counts.Write(entry.path, *count - 1);  // a count that stays is no harm
        } else if (count && *count == 1) {
            counts.Delete(entry.path);
            release.reachedZero = true;
            release.unregister = entry.mark == SharedMark::ComServer || entry.mark == SharedMark::TypeLibrary;
            release.removeFile = entry.mark != SharedMark::Permanent;
        }
        releases.push_back(std::move(release));
    }
    return releases;
}

}  // namespace palisade
