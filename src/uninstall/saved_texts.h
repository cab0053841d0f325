// Names of the readme and licence files saved next to the product.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "payload/settings.h"

namespace palisade {

// Rich text begins with "{\rtf".
bool IsRichText(const ByteBlob& text);

struct SavedTextName {
    std::size_t index = 0;   // position in the settings list
    std::u16string fileName; // "readme.txt", "readme2.rtf" ...
};

// Every non-empty text gets a name; only saved texts use a number. The single
// form ("readme.txt") is used when the first saved text is also the list's
// last entry; otherwise every text is "<stem><n>.<ext>" counting from 1.
std::vector<SavedTextName> NameSavedTexts(const std::vector<ByteBlob>& texts, std::u16string_view stem);

}  // namespace palisade
