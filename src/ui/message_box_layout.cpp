// Laying out the installer's message box.
#include "ui/message_box_layout.h"

#include <algorithm>
#include <cmath>

namespace palisade {
namespace {

// Lengths in font units.
constexpr double kButtonHeight = 1.7;
constexpr double kButtonGap = 0.4;
constexpr double kSideMargin = 0.8;
constexpr double kAboveButtons = 0.6;
constexpr double kTopMargin = 2;
constexpr double kMinButtonWidth = 3;
constexpr double kButtonPadding = 1.1;
constexpr double kIconInset = 1.2;
constexpr double kIconTextRoom = 2.4;
constexpr double kFooterGap = 0.5;
constexpr double kFooterMinHeight = 1;
constexpr double kPictureShare = 0.55;

struct Units {
    double unit;
    int operator()(double units) const { return UnitsToPixels(units, unit); }
};

int ButtonWidth(const MessageBoxButton& button, bool alone, int pictureWidth, const Units& u,
                const MessageBoxMeasures& measures) {
    const bool withPicture = button.picture > 0;
    std::u16string caption = withPicture ? u" " + button.caption : button.caption;
    int padding = u(kButtonPadding);
    // A lone OK gets room around it, so that it does not look lost.
    if (alone && button.resultId == kResultOk) padding *= withPicture ? 3 : 4;
    int width = measures.captionWidth(caption) + padding + (withPicture ? pictureWidth : 0);
    return std::max(width, u(kMinButtonWidth));
}

std::vector<int> ButtonWidths(const MessageBoxRequest& request, const std::vector<MessageBoxButton>& buttons,
                              int pictureWidth, const Units& u, const MessageBoxMeasures& measures) {
    std::vector<int> widths;
    for (const MessageBoxButton& button : buttons) {
        widths.push_back(ButtonWidth(button, buttons.size() == 1, pictureWidth, u, measures));
    }
    if (!(request.flags & kBoxOwnWidths) && !widths.empty()) {
        int widest = *std::max_element(widths.begin(), widths.end());
        std::fill(widths.begin(), widths.end(), widest);
    }
    return widths;
}

int RowLeft(int alignment, int boxWidth, int rowWidth, int sideMargin) {
    if (alignment == kAlignButtonsLeft) return sideMargin;
    if (alignment == kAlignButtonsCentre) return (boxWidth - rowWidth) / 2;
    return boxWidth - sideMargin - rowWidth;
}

// Icon, text and footer; returns the content's right (x) and bottom (y) edges.
Point LayOutContent(const MessageBoxRequest& request, const MessageBoxMetrics& metrics,
                    const MessageBoxMeasures& measures, const Units& u, MessageBoxLayout& layout) {
    const bool withIcon = request.hasCustomIcon || IconType(request.flags).has_value();
    Size icon = metrics.systemIcon;
    if (request.hasCustomIcon && request.customIconSize.width > 0 && request.customIconSize.height > 0) {
        icon = request.customIconSize;
    }
    int textLimit = metrics.workAreaWidth / ((request.flags & kBoxNarrowText) ? 3 : 2);
    if (withIcon) textLimit -= icon.width + u(kIconTextRoom);
    const Size text = measures.wrappedText(request.text, std::max(textLimit, 1));

    // Without an icon the text keeps the top margin; with one it starts level
    // with the icon and is centred against it when it is the lower of the two.
    int textLeft = u(kIconInset);
    int textTop = u(kTopMargin);
    Point extent;
    if (withIcon) {
        layout.icon = Rect::At(u(kIconInset), u(kIconInset), icon.width, icon.height);
        textLeft = icon.width + 2 * u(kIconInset);
        textTop = u(kIconInset) + std::max(0, (icon.height - text.height) / 2);
        extent.y = layout.icon->bottom;
    }
    layout.text = Rect::At(textLeft, textTop, text.width, text.height);
    extent = {layout.text.right, std::max(extent.y, layout.text.bottom)};

    if (!request.footerText.empty()) {
        const int glyphRoom = metrics.checkGlyph.width + u(kFooterGap);
        const Size footerText = measures.wrappedText(request.footerText, std::max(textLimit - glyphRoom, 1));
        layout.footer = Rect::At(textLeft, layout.text.bottom + u(kFooterGap), glyphRoom + footerText.width,
                                 std::max(footerText.height, u(kFooterMinHeight)));
        extent = {std::max(extent.x, layout.footer->right), std::max(extent.y, layout.footer->bottom)};
    }
    return extent;
}

}  // namespace

int UnitsToPixels(double units, double unit) { return int(std::ceil(units * unit)); }

Size PixelsToDialogUnits(Size pixels, Size baseUnits) {
    auto up = [](int value, int scale, int base) { return base <= 0 ? 0 : (value * scale + base - 1) / base; };
    return {up(pixels.width, 4, baseUnits.width), up(pixels.height, 8, baseUnits.height)};
}

MessageBoxLayout LayoutMessageBox(const MessageBoxRequest& request, const std::vector<MessageBoxButton>& buttons,
                                  const MessageBoxMetrics& metrics, const MessageBoxMeasures& measures) {
    const Units u{metrics.unit};
    MessageBoxLayout layout;
    const Point content = LayOutContent(request, metrics, measures, u, layout);

    const int buttonHeight = u(kButtonHeight);
    const int pictureSide = int(std::lround(kPictureShare * buttonHeight));
    layout.picture = request.pictureSize.width > 0 && request.pictureSize.height > 0 ? request.pictureSize
                                                                                     : Size{pictureSide, pictureSide};
    const std::vector<int> widths = ButtonWidths(request, buttons, layout.picture.width, u, measures);
    const int gap = u(kButtonGap);
    int rowWidth = 0;
    for (int width : widths) rowWidth += width;
    if (!widths.empty()) rowWidth += gap * int(widths.size() - 1);

    // The box takes the wider of the content and the row, with their margins;
    // below the buttons is the side margin again.
    const int sideMargin = u(kSideMargin);
    layout.client.width = std::max(content.x + u(kIconInset), rowWidth + 2 * sideMargin);
    const int rowTop = content.y + u(kAboveButtons);
    layout.client.height = rowTop + buttonHeight + sideMargin;
    int x = RowLeft(request.buttonAlignment, layout.client.width, rowWidth, sideMargin);
    for (int width : widths) {
        layout.buttons.push_back(Rect::At(x, rowTop, width, buttonHeight));
        x += width + gap;
    }
    return layout;
}

}  // namespace palisade
