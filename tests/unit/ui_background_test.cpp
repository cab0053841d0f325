// The background window's arithmetic: hand-drawn gradient bands, picture
// placement for every stretch mode, and the appearance record.
#include <gtest/gtest.h>

#include <map>

#include "ui/background_layout.h"
#include "ui/background_settings.h"
#include "ui_test_support.h"

namespace palisade {
namespace {

TEST(HandDrawnGradient, BandHeightAndCountFollowTheClientHeight) {
    struct Case {
        int height, bandHeight, count, lastBandHeight;
    } cases[] = {
        {1, 1, 1, 1},       {223, 1, 223, 1},  {224, 1, 224, 1}, {447, 1, 447, 1}, {448, 2, 224, 2},
        {449, 2, 225, 1},   {672, 3, 224, 3},  {1000, 3, 334, 1}, {1080, 3, 360, 3}, {4000, 3, 1334, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        std::vector<GradientBand> bands = HandDrawnGradient({0, 10, 640, 10 + c.height}, 0, 0xFFFFFF);
        ASSERT_EQ(int(bands.size()), c.count);
        // The bands follow each other without gap or overlap and end at the client's bottom.
        for (int i = 0; i < c.count; ++i) {
            EXPECT_EQ(bands[i].rect.top, 10 + i * c.bandHeight);
            EXPECT_EQ(bands[i].rect.left, 0);
            EXPECT_EQ(bands[i].rect.right, 640);
        }
        EXPECT_EQ(bands.back().rect.Height(), c.lastBandHeight);
        EXPECT_EQ(bands.back().rect.bottom, 10 + c.height);
    }
    EXPECT_TRUE(HandDrawnGradient({0, 0, 640, 0}, 0, 0xFFFFFF).empty());
}

TEST(HandDrawnGradient, EachChannelStepsFromTheTopColourToTheBottomColour) {
    const Colour top = MakeColour(10, 200, 0), bottom = MakeColour(250, 0, 0);
    std::vector<GradientBand> bands = HandDrawnGradient({0, 0, 100, 5}, top, bottom);
    ASSERT_EQ(bands.size(), 5u);
    const int reds[] = {10, 70, 130, 190, 250};
    const int greens[] = {200, 150, 100, 50, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(RedOf(bands[i].colour), reds[i]) << i;
        EXPECT_EQ(GreenOf(bands[i].colour), greens[i]) << i;
        EXPECT_EQ(BlueOf(bands[i].colour), 0) << i;
    }
    std::vector<GradientBand> one = HandDrawnGradient({0, 0, 100, 1}, top, bottom);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].colour, top);
}

TEST(BackgroundPicture, TheAreaIsTheClientScaledAboutItsCentre) {
    struct Case {
        Rect client;
        int percent;
        Rect area;
    } cases[] = {
        {{0, 0, 1000, 600}, 100, {0, 0, 1000, 600}},
        {{0, 0, 1000, 600}, 50, {250, 150, 750, 450}},
        {{0, 0, 1001, 601}, 33, {335, 201, 665, 399}},  // 330.33 -> 330, 198.33 -> 198
        {{0, 0, 1000, 600}, 1, {495, 297, 505, 303}},
        {{100, 50, 1100, 650}, 50, {350, 200, 850, 500}},
    };
    for (const Case& c : cases) EXPECT_EQ(PictureArea(c.client, c.percent), c.area) << c.percent;
}

TEST(BackgroundPicture, FitKeepsTheAspectRatioAndCentres) {
    const Rect area{100, 0, 900, 600};
    EXPECT_EQ(FitPicture(area, {400, 100}), (Rect{100, 200, 900, 400}));  // width-limited
    EXPECT_EQ(FitPicture(area, {100, 400}), (Rect{425, 0, 575, 600}));   // height-limited
    EXPECT_EQ(FitPicture(area, {4, 3}), area);                            // same ratio
    EXPECT_EQ(FitPicture(area, {900, 100}), (Rect{100, 255, 900, 344}));  // 88.9 rounds to 89
}

TEST(BackgroundPicture, WholeMultipleTakesTheLargestFactorThatFits) {
    const Rect area{0, 0, 800, 600};
    struct Case {
        Size picture;
        Rect placed;
    } cases[] = {
        {{150, 100}, {25, 50, 775, 550}},   // 5x: 6x would be 900 wide
        {{200, 200}, {100, 0, 700, 600}},   // 3x, limited by the height
        {{800, 600}, {0, 0, 800, 600}},     // exactly 1x
        {{400, 300}, {0, 0, 800, 600}},     // exactly 2x
        {{801, 100}, {0, 250, 800, 350}},   // even 1x is too wide: fitted instead
        {{100, 601}, {350, 0, 450, 600}},   // even 1x is too high: fitted instead
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WholeMultiplePicture(area, c.picture), c.placed) << c.picture.width << "x" << c.picture.height;
    }
}

TEST(BackgroundPicture, TilesCoverTheClientFromTheTopLeftCorner) {
    EXPECT_EQ(PictureTiles({0, 0, 1000, 600}, {300, 256}).columns, 4);
    EXPECT_EQ(PictureTiles({0, 0, 1000, 600}, {300, 256}).rows, 3);
    EXPECT_EQ(PictureTiles({0, 0, 600, 512}, {300, 256}).columns, 2);
    EXPECT_EQ(PictureTiles({0, 0, 600, 512}, {300, 256}).rows, 2);
    EXPECT_EQ(PictureTiles({0, 0, 1, 1}, {300, 256}).columns, 1);
}

TEST(BackgroundPicture, ThePlanFollowsModeAndSize) {
    using Kind = BackgroundPicturePlan::Kind;
    const Rect client{0, 0, 1000, 800};
    const Size picture{100, 100};
    struct Case {
        Size picture;
        int bitmapSize, mode;
        Kind kind;
        Rect rect;
    } cases[] = {
        {picture, 0, 2, Kind::None, {}},
        {picture, -5, 3, Kind::None, {}},              // the size also stops tiling
        {{0, 0}, 100, 2, Kind::None, {}},              // no picture
        {picture, 50, 0, Kind::Stretched, {250, 200, 750, 600}},
        {picture, 50, 9, Kind::Stretched, {250, 200, 750, 600}},  // unknown modes stretch
        {picture, 50, 1, Kind::Stretched, {300, 200, 700, 600}},
        {picture, 50, 2, Kind::Stretched, {300, 200, 700, 600}},  // 4x
        {{300, 100}, 50, 1, Kind::Stretched, {250, 316, 750, 483}},  // 166.67 rounds to 167
        {{300, 100}, 50, 2, Kind::Stretched, {350, 350, 650, 450}},  // 1x, smaller than the fit
        {picture, 250, 0, Kind::Stretched, {0, 0, 1000, 800}},   // held to 100%
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bitmapSize) + "% mode " + std::to_string(c.mode));
        BackgroundPicturePlan plan = PlanBackgroundPicture(client, c.picture, c.bitmapSize, c.mode);
        EXPECT_EQ(plan.kind, c.kind);
        if (c.kind == Kind::Stretched) {
            EXPECT_EQ(plan.rect, c.rect);
        }
    }
    // Tiling ignores the size: the whole client area, whatever the percentage.
    BackgroundPicturePlan tiled = PlanBackgroundPicture(client, {300, 300}, 10, 3);
    EXPECT_EQ(tiled.kind, Kind::Tiled);
    EXPECT_EQ(tiled.tiles.columns, 4);
    EXPECT_EQ(tiled.tiles.rows, 3);
}

TEST(BackgroundRecord, TakesTheSettingsAndThePageColoursOnlyWhenStored) {
    InstallerSettings settings;
    settings.taskbarText = u"Setup";
    settings.dialogFont = u"Tahoma, 9";
    settings.pageBackgroundColor = 0x123456;
    settings.pageTextColor = 0x654321;
    settings.topColor = settings.bottomColor = 0x00FF00;
    settings.stretchMode = 1;
    BackgroundSettings background = BackgroundSettingsFrom(settings);
    EXPECT_EQ(background.taskbarText, u"Setup");
    EXPECT_EQ(background.dialogFontFace, u"Tahoma");
    EXPECT_EQ(background.dialogFontPoints, 9);
    EXPECT_FALSE(background.HasPageBackground());
    EXPECT_EQ(background.pageTextColor, 0u);
    EXPECT_TRUE(background.monoColor);
    EXPECT_EQ(background.stretchMode, 1);

    settings.settingsFlags1 = Flags1::kPageColours;
    background = BackgroundSettingsFrom(settings);
    EXPECT_TRUE(background.HasPageBackground());
    EXPECT_EQ(background.pageBackgroundColor, 0x123456u);
    EXPECT_EQ(background.pageTextColor, 0x654321u);
}

TEST(BackgroundRecord, OpenColoursGetSaneOnes) {
    InstallerSettings settings;  // both gradient colours open
    BackgroundSettings background = BackgroundSettingsFrom(settings);
    EXPECT_FALSE(background.monoColor) << "two open colours are no flat colour";
    GradientColours fallback = EffectiveGradient(background);
    EXPECT_NE(fallback.top, kColourNotSet);
    EXPECT_NE(fallback.bottom, kColourNotSet);
    EXPECT_NE(fallback.top, fallback.bottom);

    background.topColor = 0x112233;
    EXPECT_EQ(EffectiveGradient(background).top, 0x112233u);
    EXPECT_EQ(EffectiveGradient(background).bottom, 0x112233u);
    background.topColor = kColourNotSet;
    background.bottomColor = 0x445566;
    EXPECT_EQ(EffectiveGradient(background).top, 0x445566u);
    background.topColor = 0x112233;
    EXPECT_EQ(EffectiveGradient(background).top, 0x112233u);
    EXPECT_EQ(EffectiveGradient(background).bottom, 0x445566u);
}

TEST(BackgroundRecord, TheUninstallerReadsWhatTheInstallationStored) {
    std::map<std::u16string, std::u16string> texts = {{u"DisplayTitle", u"Removing"}, {u"TitleSize", u"1.5"},
                                                      {u"CopyrightSize", u"not a number"}, {u"TitleFont", u"Arial"}};
    std::map<std::u16string, std::uint32_t> numbers = {{u"TopColor", 0x102030}, {u"MonoColor", 1},
                                                       {u"TitlePosition", 5}, {u"CopyrightColor", 0xABCDEF}};
    StoredBackgroundValues values;
    values.text = [&texts](std::u16string_view name) -> std::optional<std::u16string> {
        auto found = texts.find(std::u16string(name));
        return found == texts.end() ? std::nullopt : std::optional<std::u16string>(found->second);
    };
    values.number = [&numbers](std::u16string_view name) -> std::optional<std::uint32_t> {
        auto found = numbers.find(std::u16string(name));
        return found == numbers.end() ? std::nullopt : std::optional<std::uint32_t>(found->second);
    };
    BackgroundSettings background = BackgroundSettingsFromStored(values);
    EXPECT_EQ(background.displayTitle, u"Removing");
    EXPECT_DOUBLE_EQ(background.titleSize, 1.5);
    EXPECT_DOUBLE_EQ(background.copyrightSize, 1.0) << "an unreadable size keeps the default";
    EXPECT_EQ(background.titleFont, u"Arial");
    EXPECT_EQ(background.topColor, 0x102030u);
    EXPECT_TRUE(background.monoColor);
    EXPECT_EQ(background.titlePosition, 5);
    EXPECT_EQ(background.copyrightColor, 0xABCDEFu);
    EXPECT_EQ(background.copyrightFont, u"Calibri Bold Italic, Verdana Bold Italic, Arial Bold Italic") << "not stored";

    numbers.erase(u"TopColor");
    EXPECT_FALSE(BackgroundSettingsFromStored(values).monoColor) << "one flat colour needs a colour";
}

}  // namespace
}  // namespace palisade
