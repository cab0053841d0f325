// Placing pages, the message box and the button row.
#include "ui/page_placement.h"

#include <algorithm>
#include <cmath>

namespace palisade {
namespace {

constexpr std::uint32_t kHorizontalMask = 0x03;
constexpr std::uint32_t kLeftEdge = 1, kRightEdge = 2, kCentredAcross = 3;
constexpr std::uint32_t kVerticalMask = 0x18;
constexpr std::uint32_t kTopEdge = 8, kBottomEdge = 16, kCentredDown = 24;

// Takes the growth back from the grown buttons until `excess` is gone or
// nothing is left to take.
void GiveBackGrowth(std::vector<int>& widths, const std::vector<RowButton>& buttons, int excess) {
    while (excess > 0) {
        int grown = 0;
        for (std::size_t i = 0; i < widths.size(); ++i) grown += widths[i] > buttons[i].rect.Width();
        if (grown == 0) return;
        int share = std::max(1, excess / grown);
        for (std::size_t i = 0; i < widths.size() && excess > 0; ++i) {
            int cut = std::min({share, widths[i] - buttons[i].rect.Width(), excess});
            if (cut <= 0) continue;
            widths[i] -= cut;
            excess -= cut;
        }
    }
}

}  // namespace

Rect CentredOn(const Rect& over, Size size) {
    int centreX = over.left + over.Width() / 2;
    int centreY = over.top + over.Height() / 2;
    return Rect::At(centreX - size.width / 2, centreY - size.height / 2, size.width, size.height);
}

Rect KeptInside(const Rect& box, const Rect& area) {
    int left = std::max(area.left, std::min(box.left, area.right - box.Width()));
    int top = std::max(area.top, std::min(box.top, area.bottom - box.Height()));
    return Rect::At(left, top, box.Width(), box.Height());
}

Rect PlaceProgressPage(const Rect& page, const Rect& area, std::uint32_t positionCode) {
    int left = page.left, top = page.top;
    switch (positionCode & kHorizontalMask) {
        case kLeftEdge: left = area.left; break;
        case kRightEdge: left = area.right - page.Width(); break;
        case kCentredAcross: left = area.left + (area.Width() - page.Width()) / 2; break;
    }
    switch (positionCode & kVerticalMask) {
        case kTopEdge: top = area.top; break;
        case kBottomEdge: top = area.bottom - page.Height(); break;
        case kCentredDown: top = area.top + (area.Height() - page.Height()) / 2; break;
    }
    return Rect::At(left, top, page.Width(), page.Height());
}

Rect PlaceMessageBox(Size box, const std::optional<Rect>& owner, const Rect& workArea,
                     const std::optional<Point>& requested) {
    Rect placed = requested ? Rect::At(requested->x, requested->y, box.width, box.height)
                            : CentredOn(owner.value_or(workArea), box);
    return KeptInside(placed, workArea);
}

int ButtonPictureSide(int buttonHeight) { return int(std::lround(0.55 * buttonHeight)); }

std::vector<Rect> ArrangeButtonRow(const std::vector<RowButton>& buttons, const ButtonRowMetrics& metrics) {
    if (buttons.empty()) return {};
    std::vector<int> widths;
    for (const RowButton& button : buttons) {
        int picture = metrics.pictures ? ButtonPictureSide(button.rect.Height()) : 0;
        int needed = button.captionWidth + picture + 2 * metrics.borderWidth + 2 * metrics.dialogMargin;
        widths.push_back(std::max(button.rect.Width(), needed));
    }
    std::vector<int> gaps;
    for (std::size_t i = 0; i + 1 < buttons.size(); ++i) {
        gaps.push_back(buttons[i + 1].rect.left - buttons[i].rect.right);
    }

    auto rowWidth = [&] {
        int total = 0;
        for (int width : widths) total += width;
        for (int gap : gaps) total += gap;
        return total;
    };
    const int available = metrics.clientWidth - 2 * metrics.dialogMargin;
    GiveBackGrowth(widths, buttons, rowWidth() - available);

    const int total = rowWidth();
    int x = metrics.centred ? (metrics.clientWidth - total) / 2 : metrics.clientWidth - metrics.dialogMargin - total;
    if (total > available) x = metrics.dialogMargin;
    std::vector<Rect> placed;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        placed.push_back(Rect::At(x, buttons[i].rect.top, widths[i], buttons[i].rect.Height()));
        if (i < gaps.size()) x += widths[i] + gaps[i];
    }
    return placed;
}

}  // namespace palisade
