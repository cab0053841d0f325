// The installer's message box laid out: icon, text, footer and button row for
// a font unit of 16 pixels, with text measured at 7 pixels a character and 16
// pixels a line. Lengths in units round up: 1.7 -> 28, 0.4 -> 7, 0.8 -> 13,
// 0.6 -> 10, 2 -> 32, 3 -> 48, 1.1 -> 18, 1.2 -> 20, 2.4 -> 39, 0.5 -> 8.
#include <gtest/gtest.h>

#include "ui/message_box_layout.h"
#include "ui_test_support.h"

namespace palisade {
namespace {

const MessageBoxMetrics kMetrics{16.0, 1200, {32, 32}, {13, 13}};

MessageBoxMeasures Measures(std::vector<int>* limits = nullptr) {
    MessageBoxMeasures measures;
    measures.wrappedText = [limits](std::u16string_view text, int maxWidth) {
        if (limits) limits->push_back(maxWidth);
        int width = int(text.size()) * 7;
        int lines = (width + maxWidth - 1) / maxWidth;
        return Size{std::min(width, maxWidth), 16 * std::max(lines, 1)};
    };
    measures.captionWidth = [](std::u16string_view caption) { return int(caption.size()) * 7; };
    return measures;
}

MessageBoxLayout Lay(const MessageBoxRequest& request, std::vector<int>* limits = nullptr) {
    return LayoutMessageBox(request, ButtonsFor(request), kMetrics, Measures(limits));
}

TEST(MessageBoxLayout, IconTextAndAnEvenRowOnTheRight) {
    MessageBoxRequest request;
    request.text = u"Hello";
    request.flags = 1 | kBoxIconQuestion;
    std::vector<int> limits;
    MessageBoxLayout layout = Lay(request, &limits);
    EXPECT_EQ(limits, (std::vector<int>{600 - 32 - 39}));
    ASSERT_TRUE(layout.icon);
    EXPECT_EQ(*layout.icon, (Rect{20, 20, 52, 52}));
    // Right of the icon, centred against it.
    EXPECT_EQ(layout.text, (Rect{72, 28, 107, 44}));
    EXPECT_FALSE(layout.footer);
    // "&OK" is 21 + 18 = 39, raised to 48; "&Cancel" 49 + 18 = 67; both take 67.
    ASSERT_EQ(layout.buttons.size(), 2u);
    EXPECT_EQ(layout.buttons[0], (Rect{13, 62, 80, 90}));
    EXPECT_EQ(layout.buttons[1], (Rect{87, 62, 154, 90}));
    EXPECT_EQ(layout.client, (Size{167, 103}));
    EXPECT_EQ(layout.picture, (Size{15, 15}));
}

TEST(MessageBoxLayout, NarrowTextWithoutIconAndACentredLoneOk) {
    MessageBoxRequest request;
    request.text = std::u16string(200, u'x');  // 1400 pixels
    request.flags = kBoxNarrowText;
    request.buttonAlignment = kAlignButtonsCentre;
    std::vector<int> limits;
    MessageBoxLayout layout = Lay(request, &limits);
    EXPECT_EQ(limits, (std::vector<int>{400}));
    EXPECT_FALSE(layout.icon);
    EXPECT_EQ(layout.text, (Rect{20, 32, 420, 96}));
    // A lone OK: 14 + 4 x 18.
    ASSERT_EQ(layout.buttons.size(), 1u);
    EXPECT_EQ(layout.buttons[0], (Rect{177, 106, 263, 134}));
    EXPECT_EQ(layout.client, (Size{440, 147}));
}

TEST(MessageBoxLayout, ButtonWidthsWithPicturesOwnWidthsAndLeftAlignment) {
    MessageBoxRequest request;
    request.text = u"Hi";
    request.flags = kBoxOwnWidths;
    request.buttonAlignment = kAlignButtonsLeft;
    request.buttons = {{1, u"OK", 4}};
    // A lone OK with a picture: " OK" 21 + 3 x 18 + picture 15.
    EXPECT_EQ(Lay(request).buttons[0].Width(), 90);

    request.buttons = {{6, u"Yes", 4}, {19, u"Yes to all", 8}, {7, u"No", 0}};
    MessageBoxLayout layout = Lay(request);
    ASSERT_EQ(layout.buttons.size(), 3u);
    EXPECT_EQ(layout.buttons[0].Width(), 28 + 18 + 15);  // " Yes"
    EXPECT_EQ(layout.buttons[1].Width(), 77 + 18 + 15);  // " Yes to all"
    EXPECT_EQ(layout.buttons[2].Width(), 48);            // "No" 14 + 18, raised to the minimum
    EXPECT_EQ(layout.buttons[0].left, 13);
    EXPECT_EQ(layout.buttons[1].left, 13 + 61 + 7);
    EXPECT_EQ(layout.buttons[2].left, 13 + 61 + 7 + 110 + 7);

    request.pictureSize = {20, 20};
    layout = Lay(request);
    EXPECT_EQ(layout.picture, (Size{20, 20}));
    EXPECT_EQ(layout.buttons[1].Width(), 77 + 18 + 20);
}

TEST(MessageBoxLayout, TheFooterCheckBoxSitsUnderTheText) {
    MessageBoxRequest request;
    request.text = u"Hi";
    request.flags = kBoxIconStop;
    request.footerText = u"Don't ask";
    MessageBoxLayout layout = Lay(request);
    EXPECT_EQ(layout.text, (Rect{72, 28, 86, 44}));
    ASSERT_TRUE(layout.footer);
    EXPECT_EQ(*layout.footer, (Rect{72, 52, 72 + 13 + 8 + 63, 68}));
    // The row starts under the footer.
    EXPECT_EQ(layout.buttons[0].top, 68 + 10);
    EXPECT_EQ(layout.client.width, std::max(156 + 20, 48 + 26));
}

TEST(MessageBoxLayout, ACustomIconKeepsItsSize) {
    MessageBoxRequest request;
    request.text = u"Hi";
    request.hasCustomIcon = true;
    request.customIconSize = {48, 48};
    MessageBoxLayout layout = Lay(request);
    ASSERT_TRUE(layout.icon);
    EXPECT_EQ(*layout.icon, (Rect{20, 20, 68, 68}));
    EXPECT_EQ(layout.text.left, 48 + 40);
    EXPECT_EQ(layout.text.top, 20 + 16);
    request.customIconSize = {};
    EXPECT_EQ(*Lay(request).icon, (Rect{20, 20, 52, 52})) << "size 0: the system's icon size";
}

TEST(MessageBoxLayout, TallTextStartsLevelWithTheIcon) {
    MessageBoxRequest request;
    request.text = std::u16string(300, u'x');  // 2100 pixels in 529: 4 lines, 64 high
    request.flags = kBoxIconInformation;
    MessageBoxLayout layout = Lay(request);
    EXPECT_EQ(layout.text, (Rect{72, 20, 601, 84}));
    EXPECT_EQ(layout.buttons[0].top, 84 + 10);
}

TEST(MessageBoxLayout, DialogUnitsRoundUp) {
    EXPECT_EQ(PixelsToDialogUnits({167, 103}, {7, 16}), (Size{96, 52}));
    EXPECT_EQ(PixelsToDialogUnits({7, 16}, {7, 16}), (Size{4, 8}));
    EXPECT_EQ(PixelsToDialogUnits({7, 16}, {0, 0}), (Size{0, 0}));
    EXPECT_EQ(UnitsToPixels(1.7, 16), 28);
    EXPECT_EQ(UnitsToPixels(2, 16), 32);
}

}  // namespace
}  // namespace palisade
