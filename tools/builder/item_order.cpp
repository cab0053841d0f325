// The order of the items in the archive: similar files side by side, where the order is free.
#include "builder/item_order.h"

#include <algorithm>
#include <string>
#include <tuple>

#include "common/destination_checks.h"
#include "core/text.h"

namespace palisade::tools {

namespace {

bool MayMove(const PayloadItem& item) {
    return item.kind == EntryKind::File && (item.flags & EntryFlags::kShortcutMask) == 0;
}

struct SortKey {
    std::u16string extension;
    std::u16string name;
};

SortKey KeyOf(const PayloadItem& item) {
    std::string utf8 = !item.name.empty() && item.name[0] == '|' ? item.name.substr(1) : item.name;
    std::u16string destination = EffectiveDestination(item.destinationOverride, Utf8ToUtf16(utf8));
    std::u16string name = destination.substr(destination.find_last_of(u"\\/") + 1);
    for (char16_t& c : name) c = FoldCase(c);
    std::size_t dot = name.rfind(u'.');
    std::u16string extension = dot == std::u16string::npos || dot == 0 ? std::u16string() : name.substr(dot + 1);
    return {extension, name};
}

}  // namespace

void OrderItemsForCompression(std::vector<PayloadItem>& items) {
    auto runStart = items.begin();
    while (runStart != items.end()) {
        runStart = std::find_if(runStart, items.end(), MayMove);
        auto runEnd = std::find_if_not(runStart, items.end(), MayMove);
        if (runEnd - runStart > 1) {
            std::vector<std::pair<SortKey, PayloadItem>> run;
            for (auto it = runStart; it != runEnd; ++it) run.emplace_back(KeyOf(*it), std::move(*it));
            std::stable_sort(run.begin(), run.end(), [](const auto& a, const auto& b) {
                return std::tie(a.first.extension, a.first.name) < std::tie(b.first.extension, b.first.name);
            });
            auto out = runStart;
            for (auto& entry : run) *out++ = std::move(entry.second);
        }
        runStart = runEnd;
    }
}

}  // namespace palisade::tools
