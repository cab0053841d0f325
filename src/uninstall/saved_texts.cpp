// The naming rule of the saved readme and licence files.
#include "uninstall/saved_texts.h"

#include <cstring>

#include "core/text.h"

namespace palisade {

bool IsRichText(const ByteBlob& text) {
    static constexpr char kRtf[] = "{\\rtf";
    return text.size() >= 5 && std::memcmp(text.data(), kRtf, 5) == 0;
}

std::vector<SavedTextName> NameSavedTexts(const std::vector<ByteBlob>& texts, std::u16string_view stem) {
    std::vector<SavedTextName> names;
    std::size_t first = 0;
    while (first < texts.size() && texts[first].empty()) ++first;
    if (first == texts.size()) return names;
    bool single = first + 1 == texts.size();
    int number = 0;
    for (std::size_t i = first; i < texts.size(); ++i) {
        if (texts[i].empty()) continue;
        std::u16string name(stem);
        if (!single) name += ToU16(++number);
        name += IsRichText(texts[i]) ? u".rtf" : u".txt";
        names.push_back({i, std::move(name)});
    }
    return names;
}

}  // namespace palisade
