// Filling the background record from the installer settings.
#include "ui/background_settings.h"

#include "core/decimal_text.h"
#include "payload/settings_flags.h"

namespace palisade {

namespace {
constexpr Colour kFallbackTop = MakeColour(0x4F, 0x9C, 0xC4);
constexpr Colour kFallbackBottom = MakeColour(0x0C, 0x2A, 0x47);
}  // namespace

BackgroundSettings BackgroundSettingsFrom(const InstallerSettings& settings) {
    BackgroundSettings background;
    background.taskbarText = settings.taskbarText;
    background.pictureFrameMode = settings.pictureFrameMode;
    background.bannerTextColor = settings.bannerTextColor;
    DialogFontSpec font = ParseDialogFont(settings.dialogFont);
    background.dialogFontFace = font.face;
    background.dialogFontPoints = font.points;
    if (settings.settingsFlags1 & Flags1::kPageColours) {
        background.pageBackgroundColor = settings.pageBackgroundColor;
        background.pageTextColor = settings.pageTextColor;
    }
    background.titleColor = settings.titleColor;
    // Two open colours are no choice of one flat colour: the fallback gradient shows.
    background.monoColor = settings.MonoColor() && settings.topColor != kColourNotSet;
    background.topColor = settings.topColor;
    background.bottomColor = settings.bottomColor;
    background.titleShadow = settings.titleShadow;
    background.titlePosition = settings.titlePosition;
    background.titleFont = settings.titleFont;
    background.displayTitle = settings.displayTitle;
    background.titleSize = settings.titleSize;
    background.copyrightPos = settings.copyrightPos;
    background.copyrightText = settings.copyrightText;
    background.copyrightColor = settings.copyrightColor;
    background.copyrightSize = settings.copyrightSize;
    background.copyrightFont = settings.copyrightFont;
    background.picture = settings.backgroundPicture;
    background.bitmapTpi = settings.bitmapTpi;
    background.bitmapSize = settings.bitmapSize;
    background.stretchMode = settings.stretchMode;
    return background;
}

namespace {

// A decimal text as stored ("1.25"); nothing when it is not one.
std::optional<double> ParseDecimal(std::u16string_view text) {
    std::string narrow;
    for (char16_t unit : text) {
        if (unit > 0x7F) return std::nullopt;
        narrow.push_back(char(unit));
    }
    return ParseDecimalText(narrow);
}

}  // namespace

BackgroundSettings BackgroundSettingsFromStored(const StoredBackgroundValues& values) {
    BackgroundSettings background;
    auto text = [&](std::u16string_view name, std::u16string& field) {
        if (std::optional<std::u16string> value = values.text(name)) field = *value;
    };
    auto size = [&](std::u16string_view name, double& field) {
        std::optional<std::u16string> value = values.text(name);
        if (std::optional<double> parsed = value ? ParseDecimal(*value) : std::nullopt) field = *parsed;
    };
    auto colour = [&](std::u16string_view name, Colour& field) {
        if (std::optional<std::uint32_t> value = values.number(name)) field = *value;
    };
    auto byte = [&](std::u16string_view name, std::uint8_t& field) {
        if (std::optional<std::uint32_t> value = values.number(name)) field = std::uint8_t(*value);
    };
    text(u"DisplayTitle", background.displayTitle);
    size(u"TitleSize", background.titleSize);
    colour(u"TitleColor", background.titleColor);
    byte(u"TitleShadow", background.titleShadow);
    colour(u"TopColor", background.topColor);
    colour(u"BottomColor", background.bottomColor);
    std::optional<std::uint32_t> mono = values.number(u"MonoColor");
    background.monoColor = mono && *mono != 0 && background.topColor != kColourNotSet;
    byte(u"TitlePosition", background.titlePosition);
    text(u"TitleFont", background.titleFont);
    text(u"TaskbarText", background.taskbarText);
    text(u"CopyrightText", background.copyrightText);
    text(u"CopyrightFont", background.copyrightFont);
    size(u"CopyrightSize", background.copyrightSize);
    colour(u"CopyrightColor", background.copyrightColor);
    byte(u"CopyrightPos", background.copyrightPos);
    return background;
}

GradientColours EffectiveGradient(const BackgroundSettings& background) {
    Colour top = background.topColor;
    Colour bottom = background.bottomColor;
    if (top == kColourNotSet && bottom == kColourNotSet) return {kFallbackTop, kFallbackBottom};
    if (top == kColourNotSet) top = bottom;
    if (bottom == kColourNotSet) bottom = top;
    return {top, bottom};
}

}  // namespace palisade
