// The summary page's check boxes and the pages' colours and picture frame.
#include <gtest/gtest.h>

#include "ui/page_colours.h"
#include "ui/resources/resource_ids.h"
#include "ui/summary_boxes.h"
#include "ui_test_support.h"

namespace palisade {
namespace {

InstallerSettings WithActions(bool run, bool document, bool document2, bool log) {
    InstallerSettings settings;
    if (run) settings.launchProgram = u"%InstallDir%\\app.exe";
    if (document) settings.summaryDocument = u"%InstallDir%\\readme.txt";
    if (document2) settings.summaryDocument2 = u"https://example.org";
    if (log) settings.settingsFlags2 = 0x2000000;
    settings.installerOptions = kOptionRunProgramChecked | kOptionOpenDocumentChecked | kOptionOpenDocument2Checked;
    return settings;
}

std::vector<Rect> ShownRects(const std::array<SummaryBox, 4>& boxes) {
    std::vector<Rect> rects;
    for (const SummaryBox& box : boxes) {
        if (box.shown) rects.push_back(box.rect);
    }
    return rects;
}

TEST(SummaryBoxes, OrderTextsAndStates) {
    std::array<SummaryBox, 4> boxes = PlanSummaryBoxes(PageVariant::SidePicture, WithActions(true, true, true, true));
    const int ids[] = {IDC_RUN_PROGRAM, IDC_OPEN_DOCUMENT, IDC_OPEN_DOCUMENT2, IDC_VIEW_LOG};
    const int messages[] = {84, 83, 87, 85};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(boxes[i].id, ids[i]);
        EXPECT_EQ(boxes[i].message, messages[i]);
        EXPECT_TRUE(boxes[i].shown);
    }
    EXPECT_TRUE(boxes[0].checked && boxes[1].checked && boxes[2].checked);
    EXPECT_FALSE(boxes[3].checked) << "the log box never starts checked";

    InstallerSettings settings = WithActions(true, true, false, false);
    settings.installerOptions = kOptionOpenDocumentChecked;
    boxes = PlanSummaryBoxes(PageVariant::SidePicture, settings);
    EXPECT_FALSE(boxes[0].checked);
    EXPECT_TRUE(boxes[1].checked);
    EXPECT_FALSE(boxes[2].shown);
    EXPECT_FALSE(boxes[2].checked) << "hidden boxes are unchecked";
}

TEST(SummaryBoxes, PlacedByVariantInTheirOrder) {
    struct Case {
        PageVariant variant;
        InstallerSettings settings;
        std::vector<Rect> rects;
    } cases[] = {
        {PageVariant::SidePicture, WithActions(true, true, true, true),
         {{98, 72, 275, 81}, {98, 86, 275, 95}, {98, 100, 275, 109}, {98, 114, 275, 123}}},
        {PageVariant::FullSidePicture, WithActions(false, true, false, true), {{98, 72, 275, 81}, {98, 86, 275, 95}}},
        {PageVariant::Banner, WithActions(true, false, true, false), {{20, 98, 275, 107}, {20, 112, 275, 121}}},
        // Plain pages start 7 units lower for every hidden box.
        {PageVariant::Plain, WithActions(true, true, true, true),
         {{12, 64, 275, 73}, {12, 78, 275, 87}, {12, 92, 275, 101}, {12, 106, 275, 115}}},
        {PageVariant::Plain, WithActions(false, false, false, true), {{12, 85, 275, 94}}},
        {PageVariant::Plain, WithActions(true, false, true, false), {{12, 78, 275, 87}, {12, 92, 275, 101}}},
        {PageVariant::Plain, WithActions(false, false, false, false), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShownRects(PlanSummaryBoxes(c.variant, c.settings)), c.rects) << int(c.variant);
    }
}

TEST(SummaryBoxes, ChoicesComeFromTheShownBoxes) {
    std::array<SummaryBox, 4> boxes = PlanSummaryBoxes(PageVariant::Plain, WithActions(true, true, true, true));
    boxes[0].checked = false;  // run program
    boxes[3].checked = true;   // view log
    SummaryChoices choices = ChoicesFromBoxes(boxes);
    EXPECT_FALSE(choices.runProgram);
    EXPECT_TRUE(choices.openDocument);
    EXPECT_TRUE(choices.openDocument2);
    EXPECT_TRUE(choices.viewLog);
    boxes[1].shown = false;
    EXPECT_FALSE(ChoicesFromBoxes(boxes).openDocument);
}

TEST(PageColours, StaticsByControlVariantAndPageBrush) {
    using B = StaticColours::Background;
    BackgroundSettings plain;
    BackgroundSettings coloured;
    coloured.pageBackgroundColor = 0x203040;
    coloured.pageTextColor = 0x00FFFF;
    coloured.bannerTextColor = 0x0000FF;
    struct Case {
        int id;
        PageVariant variant;
        const BackgroundSettings* background;
        B kind;
        bool transparent;
        Colour text;
    } cases[] = {
        {IDC_DOCUMENT, PageVariant::Banner, &coloured, B::White, false, 0},
        {IDC_PAGE_TEXT, PageVariant::FullSidePicture, &coloured, B::None, true, 0},
        {IDC_PAGE_TEXT, PageVariant::SidePicture, &coloured, B::PageBrush, true, 0x00FFFF},
        {IDC_PAGE_TEXT, PageVariant::SidePicture, &plain, B::System, true, 0},
        {IDC_STATUS_LINE, PageVariant::FullSidePicture, &plain, B::None, true, 0},
        {IDC_GREETING_LINK, PageVariant::Plain, &coloured, B::PageBrush, true, 0x00FFFF},
        {IDC_PASSWORD_LABEL, PageVariant::Plain, &coloured, B::PageBrush, true, 0x00FFFF},
        {IDC_SPACE_AVAILABLE, PageVariant::FullSidePicture, &coloured, B::None, true, 0},
        {IDC_RUN_PROGRAM, PageVariant::FullSidePicture, &plain, B::White, false, 0},
        {IDC_VIEW_LOG, PageVariant::Banner, &coloured, B::PageBrush, false, 0x00FFFF},
        {IDC_OPEN_DOCUMENT2, PageVariant::Banner, &plain, B::System, false, 0},
        {IDC_BANNER_LINE1, PageVariant::Banner, &coloured, B::None, true, 0x0000FF},
        {IDC_BANNER_LINE2, PageVariant::Banner, &plain, B::None, true, 0},
        {IDC_LANGUAGE_LIST, PageVariant::Banner, &coloured, B::System, false, 0},
    };
    for (const Case& c : cases) {
        StaticColours colours = ColoursForStatic(c.id, c.variant, *c.background);
        EXPECT_EQ(colours.background, c.kind) << c.id << " variant " << int(c.variant);
        EXPECT_EQ(colours.transparent, c.transparent) << c.id << " variant " << int(c.variant);
        if (c.kind != B::System) {
            EXPECT_EQ(colours.text, c.text) << c.id << " variant " << int(c.variant);
        }
    }
}

TEST(PageColours, TheSidePicturesFrame) {
    struct Case {
        std::uint8_t mode;
        PageVariant variant;
        PictureFrame frame;
    } cases[] = {
        {3, PageVariant::SidePicture, PictureFrame::SunkenEdge},
        {3, PageVariant::FullSidePicture, PictureFrame::None},
        {1, PageVariant::FullSidePicture, PictureFrame::SunkenEdge},
        {2, PageVariant::SidePicture, PictureFrame::ThinBorder},
        {0, PageVariant::SidePicture, PictureFrame::None},
        {9, PageVariant::SidePicture, PictureFrame::None},
        {1, PageVariant::Banner, PictureFrame::None},
        {2, PageVariant::Plain, PictureFrame::None},
    };
    for (const Case& c : cases) EXPECT_EQ(SidePictureFrame(c.mode, c.variant), c.frame) << int(c.mode) << " " << int(c.variant);
}

}  // namespace
}  // namespace palisade
