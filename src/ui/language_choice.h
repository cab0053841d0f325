// The language page's decisions: which language is preselected, the chosen
// index, and the measures of its owner-drawn list items.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/geometry.h"

namespace palisade {

// The item named like the user's language (the system's English name cut
// before the first "(" and trimmed, compared ignoring case), else the one
// named "English", else the first.
std::size_t PreselectLanguage(const std::vector<std::u16string>& languages, std::u16string_view systemLanguageName);

// The list's selection made a language index: held to 0 ... count-1 (no
// selection, -1, is the first).
std::size_t ClampLanguage(int selection, std::size_t count);

struct LanguageItemMetrics {
    int itemHeight = 0;    // 1.5 x the list font's height
    int textIndent = 0;    // half the font's average character width
    int focusPenWidth = 0; // item height / 16, at least 1
};
LanguageItemMetrics LanguageItemMeasures(int fontHeight, int averageCharWidth);

// The focused item's frame colour: 20% of the way from the highlight text
// colour towards the highlight colour.
Colour FocusFrameColour(Colour highlightText, Colour highlight);

}  // namespace palisade
