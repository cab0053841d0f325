// Summary page check boxes.
#include "ui/summary_boxes.h"

#include "ui/resources/resource_ids.h"

namespace palisade {
namespace {

// `SettingsFlags2` bit that offers the view-log box.
constexpr std::uint32_t kFlags2ViewLogChoice = 0x2000000;
constexpr int kRightEdge = 275;
constexpr int kBoxHeight = 9;
constexpr int kBoxStep = 14;
constexpr int kPlainTop = 64;
constexpr int kPlainStepPerHiddenBox = 7;

Point FirstBoxPosition(PageVariant variant, int hidden) {
    switch (variant) {
        case PageVariant::Plain: return {12, kPlainTop + kPlainStepPerHiddenBox * hidden};
        case PageVariant::Banner: return {20, 98};
        case PageVariant::SidePicture:
        case PageVariant::FullSidePicture: break;
    }
    return {98, 72};
}

}  // namespace

std::array<SummaryBox, 4> PlanSummaryBoxes(PageVariant variant, const InstallerSettings& settings) {
    const std::uint32_t options = settings.installerOptions;
    std::array<SummaryBox, 4> boxes = {{
        {IDC_RUN_PROGRAM, 84, !settings.launchProgram.empty(), (options & kOptionRunProgramChecked) != 0, {}},
        {IDC_OPEN_DOCUMENT, 83, !settings.summaryDocument.empty(), (options & kOptionOpenDocumentChecked) != 0, {}},
        {IDC_OPEN_DOCUMENT2, 87, !settings.summaryDocument2.empty(), (options & kOptionOpenDocument2Checked) != 0, {}},
        {IDC_VIEW_LOG, 85, (settings.settingsFlags2 & kFlags2ViewLogChoice) != 0, false, {}},
    }};
    int hidden = 0;
    for (const SummaryBox& box : boxes) hidden += !box.shown;
    Point at = FirstBoxPosition(variant, hidden);
    for (SummaryBox& box : boxes) {
        if (!box.shown) {
            box.checked = false;
            continue;
        }
        box.rect = {at.x, at.y, kRightEdge, at.y + kBoxHeight};
        at.y += kBoxStep;
    }
    return boxes;
}

SummaryChoices ChoicesFromBoxes(const std::array<SummaryBox, 4>& boxes) {
    SummaryChoices choices;
    for (const SummaryBox& box : boxes) {
        bool chosen = box.shown && box.checked;
        switch (box.id) {
            case IDC_OPEN_DOCUMENT: choices.openDocument = chosen; break;
            case IDC_RUN_PROGRAM: choices.runProgram = chosen; break;
            case IDC_VIEW_LOG: choices.viewLog = chosen; break;
            case IDC_OPEN_DOCUMENT2: choices.openDocument2 = chosen; break;
        }
    }
    return choices;
}

}  // namespace palisade
