// Preselection and item measures of the language page.
#include "ui/language_choice.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/text.h"
#include "ui/blank_trim.h"

namespace palisade {
namespace {

std::optional<std::size_t> IndexOf(const std::vector<std::u16string>& languages, std::u16string_view name) {
    for (std::size_t i = 0; i < languages.size(); ++i) {
        if (EqualsIgnoreCase(languages[i], name)) return i;
    }
    return std::nullopt;
}

int Blend(int from, int to, double share) { return int(std::lround(from + (to - from) * share)); }

}  // namespace

std::size_t PreselectLanguage(const std::vector<std::u16string>& languages, std::u16string_view systemLanguageName) {
    std::u16string_view name = TrimBlanks(systemLanguageName.substr(0, systemLanguageName.find(u'(')));
    if (!name.empty()) {
        if (std::optional<std::size_t> found = IndexOf(languages, name)) return *found;
    }
    return IndexOf(languages, u"English").value_or(0);
}

std::size_t ClampLanguage(int selection, std::size_t count) {
    if (selection < 0 || count == 0) return 0;
    return std::min(std::size_t(selection), count - 1);
}

LanguageItemMetrics LanguageItemMeasures(int fontHeight, int averageCharWidth) {
    LanguageItemMetrics metrics;
    metrics.itemHeight = int(std::lround(1.5 * fontHeight));
    metrics.textIndent = averageCharWidth / 2;
    metrics.focusPenWidth = std::max(1, metrics.itemHeight / 16);
    return metrics;
}

Colour FocusFrameColour(Colour highlightText, Colour highlight) {
    constexpr double kShare = 0.2;
    return MakeColour(Blend(RedOf(highlightText), RedOf(highlight), kShare),
                      Blend(GreenOf(highlightText), GreenOf(highlight), kShare),
                      Blend(BlueOf(highlightText), BlueOf(highlight), kShare));
}

}  // namespace palisade
