// The appearance record of the background window, which also carries the
// appearance the pages share (picture frame, banner text colour, dialog font,
// page colours). The window icons and the page background brush are handles
// and belong to the Win32 layer; everything else is here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payload/settings.h"
#include "ui/geometry.h"

namespace palisade {

struct BackgroundSettings {
    std::u16string taskbarText;
    std::uint8_t pictureFrameMode = 3;
    Colour bannerTextColor = 0;
    std::u16string dialogFontFace;       // empty: the templates' own face
    std::uint16_t dialogFontPoints = 10;  // 0: the templates' own size
    Colour pageTextColor = 0;
    Colour pageBackgroundColor = kColourNotSet;  // set: the pages get a brush of this colour
    Colour titleColor = 0xFFFEF7;
    bool monoColor = false;
    Colour topColor = kColourNotSet;
    Colour bottomColor = kColourNotSet;
    std::uint8_t titleShadow = 1;    // in 1/1300 of the font height
    std::uint8_t titlePosition = 0;  // position code; 0: not drawn
    std::u16string titleFont = u"Cambria Bold Italic, Times New Roman Bold Italic";
    std::u16string displayTitle;
    std::u16string defaultTitle;  // drawn when displayTitle is empty (message 0)
    double titleSize = 1.0;
    std::uint8_t copyrightPos = 0;
    std::u16string copyrightText;
    Colour copyrightColor = 0xFEFCEC;
    double copyrightSize = 1.0;
    std::u16string copyrightFont = u"Calibri Bold Italic, Verdana Bold Italic, Arial Bold Italic";
    std::vector<std::uint8_t> picture;  // the picture file as stored; empty: none
    std::int32_t bitmapTpi = -1;        // transparent palette index, -1: none
    std::int32_t bitmapSize = 0;        // percent of the window; 0 or less: no picture
    std::int32_t stretchMode = 2;

    bool HasPageBackground() const { return pageBackgroundColor != kColourNotSet; }
    const std::u16string& ShownTitle() const { return displayTitle.empty() ? defaultTitle : displayTitle; }
};

// The record as the installer settings fill it. The page colours count only
// when the settings carry them; the default title is the caller's (message 0
// of the current language).
BackgroundSettings BackgroundSettingsFrom(const InstallerSettings& settings);

// The record as an installation stored it for its uninstaller (the values
// "DisplayTitle", "TitleSize", "TitleColor", ... of the product key): each
// value present replaces the default; sizes are decimal texts. `MonoColor`
// counts only with a top colour, as when the installer reads its settings.
struct StoredBackgroundValues {
    std::function<std::optional<std::u16string>(std::u16string_view)> text;
    std::function<std::optional<std::uint32_t>(std::u16string_view)> number;
};
BackgroundSettings BackgroundSettingsFromStored(const StoredBackgroundValues& values);

// The gradient's two colours with the colours the settings leave open filled
// in: an open colour takes the other one, and when both are open the
// background is our own blue, darker towards the bottom.
struct GradientColours {
    Colour top = 0;
    Colour bottom = 0;
};
GradientColours EffectiveGradient(const BackgroundSettings& background);

// A text colour, or `fallback` when the settings leave it open.
inline Colour ColourOr(Colour colour, Colour fallback) { return colour == kColourNotSet ? fallback : colour; }

}  // namespace palisade
