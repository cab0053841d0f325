// Progress page decisions.
#include "ui/progress_page_rules.h"

#include <cmath>

namespace palisade {

bool ProgressCentresButtons(PageVariant variant) {
    return variant == PageVariant::Plain || variant == PageVariant::Banner;
}

bool ProgressEnlargesText(PageVariant variant) { return ProgressCentresButtons(variant); }

int EnlargedFontHeight(int height) { return int(std::lround(height * 1.1)); }

bool ProgressCancelEnabled(bool uninstalling, std::uint32_t settingsFlags1) {
    return !uninstalling && !(settingsFlags1 & Flags1::kNoCancel);
}

bool ProgressPageShown(std::uint32_t settingsFlags2, bool silent) {
    return !silent && (settingsFlags2 & Flags2::kProgressPage) != 0;
}

}  // namespace palisade
