// Static control colours and the side picture's frame.
#include "ui/page_colours.h"

#include "ui/resources/resource_ids.h"

namespace palisade {
namespace {

constexpr Colour kBlack = 0x000000;

bool IsPageText(int id) {
    switch (id) {
        case IDC_PAGE_TEXT:
        case IDC_STATUS_LINE:
        case IDC_SPACE_REQUIRED:
        case IDC_SPACE_AVAILABLE:
        case IDC_PASSWORD_LABEL:
        case IDC_GREETING_LINK: return true;
        default: return false;
    }
}

bool IsSummaryBox(int id) {
    return id == IDC_OPEN_DOCUMENT || id == IDC_RUN_PROGRAM || id == IDC_VIEW_LOG || id == IDC_OPEN_DOCUMENT2;
}

}  // namespace

StaticColours ColoursForStatic(int controlId, PageVariant variant, const BackgroundSettings& background) {
    using Background = StaticColours::Background;
    const bool fullSide = variant == PageVariant::FullSidePicture;
    const bool brush = background.HasPageBackground();
    const Colour pageText = ColourOr(background.pageTextColor, kBlack);
    if (controlId == IDC_DOCUMENT) return {Background::White, false, kBlack};
    if (IsPageText(controlId)) {
        if (fullSide) return {Background::None, true, kBlack};
        if (brush) return {Background::PageBrush, true, pageText};
        return {Background::System, true, 0};
    }
    if (IsSummaryBox(controlId)) {
        if (fullSide) return {Background::White, false, kBlack};
        if (brush) return {Background::PageBrush, false, pageText};
        return {};
    }
    if (controlId == IDC_BANNER_LINE1 || controlId == IDC_BANNER_LINE2) {
        return {Background::None, true, ColourOr(background.bannerTextColor, kBlack)};
    }
    return {};
}

PictureFrame SidePictureFrame(std::uint8_t frameMode, PageVariant variant) {
    if (!HasSidePicture(variant)) return PictureFrame::None;
    if (frameMode == 3) frameMode = variant == PageVariant::SidePicture ? 1 : 0;
    switch (frameMode) {
        case 1: return PictureFrame::SunkenEdge;
        case 2: return PictureFrame::ThinBorder;
        default: return PictureFrame::None;
    }
}

}  // namespace palisade
