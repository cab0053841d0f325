// Placing the wizard's windows: pages centred over the background, the
// progress page by its position code, the message box, and the button row.
#include <gtest/gtest.h>

#include "ui/page_placement.h"
#include "ui/page_variant.h"
#include "ui/template_table.h"
#include "ui_test_support.h"

namespace palisade {
namespace {

TEST(PagePlacement, PagesAreCentredOnTheirOwner) {
    struct Case {
        Rect over;
        Size size;
        Rect placed;
    } cases[] = {
        {{0, 0, 1920, 1040}, {420, 328}, {750, 356, 1170, 684}},
        {{0, 0, 101, 51}, {10, 10}, {45, 20, 55, 30}},
        {{100, 100, 300, 200}, {41, 21}, {180, 140, 221, 161}},
        {{0, 0, 300, 200}, {400, 300}, {-50, -50, 350, 250}},  // larger than the owner: centred all the same
    };
    for (const Case& c : cases) EXPECT_EQ(CentredOn(c.over, c.size), c.placed) << c.over;
}

TEST(PagePlacement, BoxesAreKeptInsideTheArea) {
    const Rect area{0, 0, 1000, 700};
    struct Case {
        Rect box, kept;
    } cases[] = {
        {{100, 100, 300, 200}, {100, 100, 300, 200}},
        {{900, 650, 1100, 750}, {800, 600, 1000, 700}},
        {{-50, -20, 150, 80}, {0, 0, 200, 100}},
        {{-50, 300, 1150, 400}, {0, 300, 1200, 400}},  // wider than the area: left edge in it
    };
    for (const Case& c : cases) EXPECT_EQ(KeptInside(c.box, area), c.kept) << c.box;
}

TEST(PagePlacement, TheProgressPageFollowsItsPositionCode) {
    const Rect area{0, 0, 1920, 1040};
    const Rect page{100, 50, 400, 250};  // 300 x 200
    struct Case {
        std::uint32_t code;
        Point topLeft;
    } cases[] = {
        {0, {100, 50}},   {1, {0, 50}},    {2, {1620, 50}},  {3, {810, 50}},   {8, {100, 0}},
        {16, {100, 840}}, {24, {100, 420}}, {1 | 16, {0, 840}}, {3 | 24, {810, 420}}, {2 | 8, {1620, 0}},
        {4, {100, 50}},   // bit 2 means nothing
        {0xFFFFFFE0, {100, 50}},
    };
    for (const Case& c : cases) {
        Rect placed = PlaceProgressPage(page, area, c.code);
        EXPECT_EQ((Point{placed.left, placed.top}), c.topLeft) << c.code;
        EXPECT_EQ(placed.Width(), 300);
        EXPECT_EQ(placed.Height(), 200);
    }
}

TEST(PagePlacement, TheMessageBoxGoesOverItsOwnerOrWhereAsked) {
    const Rect workArea{0, 0, 1000, 700};
    EXPECT_EQ(PlaceMessageBox({200, 100}, Rect{100, 100, 500, 300}, workArea, std::nullopt), (Rect{200, 150, 400, 250}));
    EXPECT_EQ(PlaceMessageBox({200, 100}, std::nullopt, workArea, std::nullopt), (Rect{400, 300, 600, 400}));
    EXPECT_EQ(PlaceMessageBox({200, 100}, std::nullopt, workArea, Point{50, 60}), (Rect{50, 60, 250, 160}));
    EXPECT_EQ(PlaceMessageBox({200, 100}, std::nullopt, workArea, Point{950, 690}), (Rect{800, 600, 1000, 700}));
    // An owner at the screen's edge does not push the box off the work area.
    EXPECT_EQ(PlaceMessageBox({200, 100}, Rect{-300, 0, -100, 50}, workArea, std::nullopt), (Rect{0, 0, 200, 100}));
}

// Next and Cancel of a 420-pixel page: 117 wide, 6 apart, ending 6 from the edge.
std::vector<RowButton> NextAndCancel(int nextCaption, int cancelCaption) {
    return {{{174, 278, 291, 298}, nextCaption}, {{297, 278, 414, 298}, cancelCaption}};
}

TEST(ButtonRow, ButtonsGrowToTheirCaptionsAndTheRowStaysRightAligned) {
    const ButtonRowMetrics metrics{420, 6, 1, false, false};
    struct Case {
        int nextCaption, cancelCaption;
        bool pictures;
        std::vector<Rect> placed;
    } cases[] = {
        {50, 60, false, {{174, 278, 291, 298}, {297, 278, 414, 298}}},   // both fit: unchanged
        {103, 60, false, {{174, 278, 291, 298}, {297, 278, 414, 298}}},  // 103 + 2 + 12 = 117: just fits
        {104, 60, false, {{173, 278, 291, 298}, {297, 278, 414, 298}}},  // one pixel more
        {120, 60, false, {{157, 278, 291, 298}, {297, 278, 414, 298}}},
        {50, 130, false, {{147, 278, 264, 298}, {270, 278, 414, 298}}},  // Cancel grows to 144: Next moves left
        {92, 60, true, {{174, 278, 291, 298}, {297, 278, 414, 298}}},    // picture 11: 92 + 11 + 14 = 117
        {93, 60, true, {{173, 278, 291, 298}, {297, 278, 414, 298}}},
    };
    for (const Case& c : cases) {
        ButtonRowMetrics m = metrics;
        m.pictures = c.pictures;
        EXPECT_EQ(ArrangeButtonRow(NextAndCancel(c.nextCaption, c.cancelCaption), m), c.placed)
            << c.nextCaption << " " << c.cancelCaption;
    }
}

TEST(ButtonRow, TheProgressPageCentresItsRow) {
    const ButtonRowMetrics metrics{352, 6, 1, false, true};
    std::vector<RowButton> cancel = {{{198, 170, 315, 190}, 40}};
    EXPECT_EQ(ArrangeButtonRow(cancel, metrics), (std::vector<Rect>{{117, 170, 234, 190}}));
    cancel[0].captionWidth = 150;
    EXPECT_EQ(ArrangeButtonRow(cancel, metrics), (std::vector<Rect>{{94, 170, 258, 190}}));
}

TEST(ButtonRow, ARowWiderThanThePageGivesBackItsGrowth) {
    const ButtonRowMetrics metrics{420, 6, 1, false, false};
    // Both need 250: 506 with the gap, 98 more than the 408 available.
    std::vector<Rect> placed = ArrangeButtonRow(NextAndCancel(236, 236), metrics);
    EXPECT_EQ(placed, (std::vector<Rect>{{6, 278, 207, 298}, {213, 278, 414, 298}}));
    // Only one grew: it gives back alone, never below its own width.
    placed = ArrangeButtonRow(NextAndCancel(400, 10), metrics);
    EXPECT_EQ(placed, (std::vector<Rect>{{6, 278, 291, 298}, {297, 278, 414, 298}}));
    // A template row that is too wide by itself starts at the margin.
    std::vector<RowButton> wide = {{{0, 0, 300, 20}, 0}, {{310, 0, 610, 20}, 0}};
    EXPECT_EQ(ArrangeButtonRow(wide, metrics), (std::vector<Rect>{{6, 0, 306, 20}, {316, 0, 616, 20}}));
    EXPECT_TRUE(ArrangeButtonRow({}, metrics).empty());
}

TEST(PageVariants, StoredValuesAndTemplateNames) {
    struct Case {
        std::int32_t stored;
        PageVariant variant;
    } cases[] = {{0, PageVariant::Plain},  {1, PageVariant::SidePicture}, {2, PageVariant::Banner},
                 {3, PageVariant::FullSidePicture}, {4, PageVariant::Banner}, {-1, PageVariant::Banner},
                 {255, PageVariant::Banner}};
    for (const Case& c : cases) EXPECT_EQ(VariantFromSetting(c.stored), c.variant) << c.stored;

    EXPECT_EQ(PageTemplateName(PageFamily::Folder, PageVariant::Plain), "ChooseDirDlg2");
    EXPECT_EQ(PageTemplateName(PageFamily::Folder, PageVariant::SidePicture), "ChooseDirDlg");
    EXPECT_EQ(PageTemplateName(PageFamily::Licence, PageVariant::Banner), "LicenseDlg3");
    EXPECT_EQ(PageTemplateName(PageFamily::Progress, PageVariant::FullSidePicture), "ProgressDlg4");
    EXPECT_FALSE(PageTemplateName(PageFamily::Greeting, PageVariant::Plain)) << "the plain greeting is a message box";
}

TEST(PageVariants, EveryFamilyHasATemplateInEveryVariant) {
    const PageFamily families[] = {PageFamily::Greeting, PageFamily::Language, PageFamily::Licence,
                                   PageFamily::Readme,   PageFamily::Folder,   PageFamily::StartMenu,
                                   PageFamily::Summary,  PageFamily::Progress};
    const PageVariant variants[] = {PageVariant::Plain, PageVariant::SidePicture, PageVariant::Banner,
                                    PageVariant::FullSidePicture};
    std::size_t names = 0;
    for (PageFamily family : families) {
        for (PageVariant variant : variants) {
            std::optional<std::string> name = PageTemplateName(family, variant);
            if (!name) continue;
            ++names;
            const DialogSpec* expected = FindDialogSpec(*name);
            ASSERT_NE(expected, nullptr) << *name;
            // The picture controls say which variant a template is.
            auto has = [&](std::uint32_t id) {
                for (const ControlSpec& control : expected->controls) {
                    if (control.id == id) return true;
                }
                return false;
            };
            EXPECT_EQ(has(1021), HasSidePicture(variant)) << *name;
            EXPECT_EQ(has(1032), variant == PageVariant::Banner) << *name;
            EXPECT_EQ(has(1042), variant == PageVariant::FullSidePicture) << *name;
        }
    }
    // The 31 page templates, the three single pages and the crash dialog.
    EXPECT_EQ(names, 31u);
    EXPECT_EQ(StubDialogSpecs().size(), 35u);
    EXPECT_TRUE(FindDialogSpec("enterpassword"));
    EXPECT_FALSE(FindDialogSpec("ChooseDirDlg5"));
}

}  // namespace
}  // namespace palisade
