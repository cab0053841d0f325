// The summary page's four check boxes: which are shown, how they start, where
// they go in each variant, and the choices they leave.
#pragma once

#include <array>

#include "payload/settings.h"
#include "ui/geometry.h"
#include "ui/page_variant.h"

namespace palisade {

struct SummaryBox {
    int id = 0;           // control id
    int message = 0;      // catalogue message of its text
    bool shown = false;
    bool checked = false; // hidden boxes are unchecked
    Rect rect;            // dialog units; empty when hidden
};

// The boxes in their order on the page: run program (1025), open document
// (1023), open second document (1029), view the installation log (1027). A
// box is shown when its action exists; the shown ones are stacked 14 units
// apart from the variant's first position (on Plain pages 7 units lower for
// each hidden box), each from its x to 275 and 9 units high.
std::array<SummaryBox, 4> PlanSummaryBoxes(PageVariant variant, const InstallerSettings& settings);

// The page's result, from the boxes' states when OK is pressed or the page closes.
struct SummaryChoices {
    bool openDocument = false;
    bool runProgram = false;
    bool viewLog = false;
    bool openDocument2 = false;
};
SummaryChoices ChoicesFromBoxes(const std::array<SummaryBox, 4>& boxes);

}  // namespace palisade
