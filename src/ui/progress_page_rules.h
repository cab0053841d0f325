// The progress page's decisions that are not drawing: which variants centre
// the Cancel button and enlarge the page text, by how much, and whether
// Cancel may be pressed.
#pragma once

#include <cstdint>

#include "payload/settings_flags.h"
#include "ui/page_variant.h"

namespace palisade {

// The Plain and Banner pages centre their button row and show the page text
// in a font 1.1 times as high.
bool ProgressCentresButtons(PageVariant variant);
bool ProgressEnlargesText(PageVariant variant);

// The enlarged font's height for a font of `height` (a font height may be
// negative, meaning a character height; the sign stays), rounded to the
// nearest pixel.
int EnlargedFontHeight(int height);

// Cancel is disabled while uninstalling and when the settings forbid cancelling.
bool ProgressCancelEnabled(bool uninstalling, std::uint32_t settingsFlags1);

// The page is shown only when the settings ask for it and the run is not silent.
bool ProgressPageShown(std::uint32_t settingsFlags2, bool silent);

}  // namespace palisade
