// Filling the background record from the installer settings.
#include "ui/background_settings.h"

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

GradientColours EffectiveGradient(const BackgroundSettings& background) {
    Colour top = background.topColor;
    Colour bottom = background.bottomColor;
    if (top == kColourNotSet && bottom == kColourNotSet) return {kFallbackTop, kFallbackBottom};
    if (top == kColourNotSet) top = bottom;
    if (bottom == kColourNotSet) bottom = top;
    return {top, bottom};
}

}  // namespace palisade
