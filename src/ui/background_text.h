// The title and copyright lines of the background window as decisions: the
// face from a list, the size that fits, the text box for a position code and
// where each line of the text goes. The Win32 layer measures and draws.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/background_settings.h"
#include "ui/geometry.h"

namespace palisade {

enum class TextAlign { Left, Centre, Right };

// Position codes 1-3 are the top edge, 4-6 the bottom edge, each left,
// centred or right; 0 (and any other code) draws nothing.
struct TextPosition {
    bool atTop = true;
    TextAlign align = TextAlign::Left;
};
std::optional<TextPosition> PositionFromCode(std::uint8_t code);

struct TextMargins {
    int horizontal = 0;  // client width / 200
    int vertical = 0;    // client height / 400
};
TextMargins MarginsFor(const Rect& client);

// The lines of a text split at CR, LF, CR LF and LF CR (no word wrapping); a
// break at the very end starts no further line. Each line holds at most
// kMaxDrawnLineLength characters.
inline constexpr std::size_t kMaxDrawnLineLength = 8192;
std::vector<std::u16string_view> SplitTextLines(std::u16string_view text);

// The first face of a comma-separated list that is installed (names
// trimmed of blanks), else "MS Shell Dlg 2" when installed, else "Arial".
std::u16string ResolveFontList(std::u16string_view list, const std::function<bool(std::u16string_view)>& isInstalled);

// The x of a line of `lineWidth` pixels in `box`.
int LineLeft(const Rect& box, int lineWidth, TextAlign align);

// One line of text to draw on the background.
struct BackgroundText {
    std::u16string_view text;
    std::u16string_view faceList;
    double nominalPoints = 0;  // before fitting
    int shadow = 0;            // shadow depth in 1/1300 of the font height
    std::uint8_t position = 0;
    Colour colour = 0;
};
BackgroundText TitleText(const BackgroundSettings& background);
BackgroundText CopyrightText(const BackgroundSettings& background);

// Measures `line` in `face` at a font height of `fontHeight` pixels.
using LineMeasure = std::function<int(std::u16string_view face, int fontHeight, std::u16string_view line)>;

struct FontFit {
    double points = 0;
    int height = 0;        // pixels
    int shadowOffset = 0;  // pixels
};

// The fit loop: from the nominal size down, one point at a time, the first
// size at which the widest line, the shadow and the margin end left of the
// client's right edge. Shrinking stops at 6 points, which is kept even when
// the text does not fit; a nominal size of 6 points or less is kept as it is.
FontFit FitFont(const BackgroundText& text, std::u16string_view face, const std::vector<std::u16string_view>& lines,
                const Rect& client, int pixelsPerInch, const LineMeasure& measure);

struct PlacedLine {
    std::u16string_view text;
    Point origin;
};

struct TextLinePlan {
    std::u16string face;
    FontFit font;
    Rect box;
    std::vector<PlacedLine> lines;  // the shadow, when offset, is drawn first, shifted by font.shadowOffset
};

// The whole decision for one line of text; nothing when it is not drawn.
std::optional<TextLinePlan> PlanBackgroundText(const BackgroundText& text, const Rect& client, int pixelsPerInch,
                                               const std::function<bool(std::u16string_view)>& isInstalled,
                                               const LineMeasure& measure);

}  // namespace palisade
