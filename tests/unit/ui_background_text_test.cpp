// The background window's title and copyright lines: position codes, line
// splitting, face lists, the fit loop and the placement of each line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "ui/background_text.h"
#include "ui_test_support.h"

namespace palisade {
namespace {

// Every character is half the font height wide.
int HalfHeightCharacters(std::u16string_view, int fontHeight, std::u16string_view line) {
    return int(line.size()) * fontHeight / 2;
}

auto Installed(std::set<std::u16string> faces) {
    return [faces](std::u16string_view face) { return faces.count(std::u16string(face)) > 0; };
}

TEST(BackgroundTextPosition, CodesGiveEdgeAndAlignment) {
    EXPECT_FALSE(PositionFromCode(0));
    EXPECT_FALSE(PositionFromCode(7));
    EXPECT_FALSE(PositionFromCode(255));
    struct Case {
        std::uint8_t code;
        bool atTop;
        TextAlign align;
    } cases[] = {{1, true, TextAlign::Left},  {2, true, TextAlign::Centre},  {3, true, TextAlign::Right},
                 {4, false, TextAlign::Left}, {5, false, TextAlign::Centre}, {6, false, TextAlign::Right}};
    for (const Case& c : cases) {
        ASSERT_TRUE(PositionFromCode(c.code)) << int(c.code);
        EXPECT_EQ(PositionFromCode(c.code)->atTop, c.atTop) << int(c.code);
        EXPECT_EQ(PositionFromCode(c.code)->align, c.align) << int(c.code);
    }
}

TEST(BackgroundTextPosition, MarginsAreIntegerFractionsOfTheClient) {
    EXPECT_EQ(MarginsFor({0, 0, 1920, 1080}).horizontal, 9);
    EXPECT_EQ(MarginsFor({0, 0, 1920, 1080}).vertical, 2);
    EXPECT_EQ(MarginsFor({0, 0, 199, 399}).horizontal, 0);
    EXPECT_EQ(MarginsFor({0, 0, 199, 399}).vertical, 0);
}

TEST(BackgroundTextLines, SplitAtEveryKindOfLineBreak) {
    using Lines = std::vector<std::u16string_view>;
    struct Case {
        std::u16string_view text;
        Lines lines;
    } cases[] = {
        {u"Title", {u"Title"}},
        {u"A\rB", {u"A", u"B"}},
        {u"A\nB", {u"A", u"B"}},
        {u"A\r\nB", {u"A", u"B"}},
        {u"A\n\rB", {u"A", u"B"}},
        {u"A\r\n\r\nB", {u"A", u"", u"B"}},
        {u"A\n\nB", {u"A", u"", u"B"}},
        {u"A\r\rB", {u"A", u"", u"B"}},
        {u"A\n\r\nB", {u"A", u"", u"B"}},
        {u"A\r\n", {u"A"}},
        {u"\nA", {u"", u"A"}},
        {u"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines) << std::string(c.text.begin(), c.text.end());
}

TEST(BackgroundTextLines, ALineIsCutAtTheDrawingLimit) {
    std::u16string text(kMaxDrawnLineLength + 100, u'x');
    text += u"\r\nshort";
    std::vector<std::u16string_view> lines = SplitTextLines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), kMaxDrawnLineLength);
    EXPECT_EQ(lines[1], u"short");
}

TEST(BackgroundFonts, TheFirstInstalledFaceOfTheListWins) {
    struct Case {
        std::u16string_view list;
        std::set<std::u16string> installed;
        std::u16string face;
    } cases[] = {
        {u"Cambria Bold Italic, Times New Roman Bold Italic", {u"Times New Roman Bold Italic", u"Arial"},
         u"Times New Roman Bold Italic"},
        {u"  Cambria Bold Italic  ,Verdana", {u"Cambria Bold Italic", u"Verdana"}, u"Cambria Bold Italic"},
        {u",, ,Verdana", {u"Verdana"}, u"Verdana"},
        {u"Nothing, Installed", {u"MS Shell Dlg 2", u"Arial"}, u"MS Shell Dlg 2"},
        {u"Nothing", {u"Tahoma"}, u"Arial"},
        {u"", {}, u"Arial"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveFontList(c.list, Installed(c.installed)), c.face) << std::string(c.list.begin(), c.list.end());
    }
}

TEST(BackgroundFonts, TheFitLoopShrinksOnePointAtATime) {
    const Rect client{0, 0, 1000, 800};  // margin 5
    std::vector<int> asked;
    LineMeasure measure = [&](std::u16string_view face, int height, std::u16string_view line) {
        asked.push_back(height);
        return HalfHeightCharacters(face, height, line);
    };
    BackgroundText text{u"", u"", 26, 0, 1, 0};
    // 50 characters at 34 pixels: 850 + 5 < 1000.
    std::u16string fifty(50, u'x');
    FontFit fit = FitFont(text, u"Arial", {fifty}, client, 96, measure);
    EXPECT_EQ(fit.points, 26);
    EXPECT_EQ(fit.height, 34);
    // 70 characters: 22 points (29 px) gives 1015, 21 points (28 px) gives 980.
    asked.clear();
    std::u16string seventy(70, u'x');
    fit = FitFont(text, u"Arial", {seventy}, client, 96, measure);
    EXPECT_EQ(fit.points, 21);
    EXPECT_EQ(fit.height, 28);
    EXPECT_EQ(asked, (std::vector<int>{34, 33, 32, 30, 29, 28}));
    // The widest line decides.
    fit = FitFont(text, u"Arial", {u"short", seventy, u"x"}, client, 96, measure);
    EXPECT_EQ(fit.points, 21);
}

TEST(BackgroundFonts, TheFitNeedsRoomForShadowAndMarginAndStopsAtSixPoints) {
    const Rect client{0, 0, 1000, 800};
    // Exactly as wide as the room at every size: never fits (the test is "less than").
    LineMeasure exact = [](std::u16string_view, int, std::u16string_view) { return 1000 - 5; };
    BackgroundText text{u"", u"", 33.8, 0, 1, 0};
    FontFit fit = FitFont(text, u"Arial", {u"x"}, client, 96, exact);
    EXPECT_EQ(fit.points, 6) << "shrinking stops at 6 points, not at 5.8";
    EXPECT_EQ(fit.height, 8);
    LineMeasure oneLess = [](std::u16string_view, int, std::u16string_view) { return 1000 - 5 - 1; };
    EXPECT_EQ(FitFont(text, u"Arial", {u"x"}, client, 96, oneLess).points, 33.8);
    // A shadow of 100/1300 of a 130-pixel font is 10 pixels and needs room too.
    text = {u"", u"", 97.5, 100, 1, 0};  // 130 px at 96 dpi
    LineMeasure wide = [](std::u16string_view, int height, std::u16string_view) { return height == 130 ? 986 : 900; };
    fit = FitFont(text, u"Arial", {u"x"}, client, 96, wide);
    EXPECT_EQ(fit.points, 96.5);
    EXPECT_EQ(fit.height, 128);
    EXPECT_EQ(fit.shadowOffset, 9);
    // A nominal size at or below 6 points is kept without measuring.
    text = {u"", u"", 5, 0, 1, 0};
    LineMeasure never = [](std::u16string_view, int, std::u16string_view) -> int { ADD_FAILURE(); return 0; };
    EXPECT_EQ(FitFont(text, u"Arial", {u"x"}, client, 96, never).points, 5);
}

TEST(BackgroundTextPlan, LinesArePlacedByPositionAndAlignment) {
    const Rect client{0, 0, 1000, 800};  // margins 5 and 2
    BackgroundText text{u"Line one\r\nLine two, longer", u"Face", 12, 1300, 6, 0};  // 16 px, shadow 16
    std::optional<TextLinePlan> plan = PlanBackgroundText(text, client, 96, Installed({u"Face"}), HalfHeightCharacters);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->face, u"Face");
    EXPECT_EQ(plan->font.height, 16);
    EXPECT_EQ(plan->font.shadowOffset, 16);
    // Two lines of 16 px, the shadow and the margin above the bottom edge.
    EXPECT_EQ(plan->box, Rect::At(5, 800 - 32 - 16 - 2, 1000 - 2 * (5 + 16), 16));
    ASSERT_EQ(plan->lines.size(), 2u);
    EXPECT_EQ(plan->lines[0].origin, (Point{plan->box.right - 8 * 8, plan->box.top}));
    EXPECT_EQ(plan->lines[1].origin, (Point{plan->box.right - 16 * 8, plan->box.top + 16}));

    text.position = 2;  // top, centred
    plan = PlanBackgroundText(text, client, 96, Installed({u"Face"}), HalfHeightCharacters);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->box.top, 2);
    EXPECT_EQ(plan->lines[0].origin, (Point{5 + (958 - 64) / 2, 2}));
    EXPECT_EQ(plan->lines[1].origin, (Point{5 + (958 - 128) / 2, 18}));

    text.position = 1;  // top, left
    plan = PlanBackgroundText(text, client, 96, Installed({u"Face"}), HalfHeightCharacters);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->lines[1].origin, (Point{5, 18}));
}

TEST(BackgroundTextPlan, NothingIsDrawnWithoutTextOrPosition) {
    const Rect client{0, 0, 1000, 800};
    EXPECT_FALSE(PlanBackgroundText({u"", u"Face", 16, 0, 5, 0}, client, 96, Installed({}), HalfHeightCharacters));
    EXPECT_FALSE(PlanBackgroundText({u"Text", u"Face", 16, 0, 0, 0}, client, 96, Installed({}), HalfHeightCharacters));
    EXPECT_FALSE(PlanBackgroundText({u"Text", u"Face", 16, 0, 7, 0}, client, 96, Installed({}), HalfHeightCharacters));
}

TEST(BackgroundTextPlan, TitleAndCopyrightComeFromTheRecord) {
    BackgroundSettings background;
    background.defaultTitle = u"Default";
    background.titlePosition = 2;
    background.titleSize = 1.5;
    background.titleShadow = 3;
    EXPECT_EQ(TitleText(background).text, u"Default");
    EXPECT_EQ(TitleText(background).nominalPoints, 39);
    EXPECT_EQ(TitleText(background).shadow, 3);
    EXPECT_EQ(TitleText(background).position, 2);
    background.displayTitle = u"Shown";
    EXPECT_EQ(TitleText(background).text, u"Shown");

    background.copyrightText = u"(c)";
    background.copyrightSize = 0.5;
    background.copyrightPos = 4;
    EXPECT_EQ(CopyrightText(background).text, u"(c)");
    EXPECT_EQ(CopyrightText(background).nominalPoints, 8);
    EXPECT_EQ(CopyrightText(background).shadow, 0);
    EXPECT_EQ(CopyrightText(background).position, 4);

    // Size factors that are no size are the nominal size; huge ones are held.
    for (double factor : {0.0, -2.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        background.titleSize = factor;
        EXPECT_EQ(TitleText(background).nominalPoints, 26) << factor;
    }
    background.titleSize = 1e9;
    EXPECT_EQ(TitleText(background).nominalPoints, 26 * 40);
    // Open text colours are the default ones.
    background.titleColor = kColourNotSet;
    EXPECT_EQ(TitleText(background).colour, 0xFFFEF7u);
}

}  // namespace
}  // namespace palisade
