// The layout of the installer's message box: from the request, the font
// unit and measured texts to the box's size and every control's rectangle
// (pixels in the box's client area). The Win32 layer measures the texts,
// converts the size to dialog units and creates the controls.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/geometry.h"
#include "ui/message_box_model.h"

namespace palisade {

struct MessageBoxMetrics {
    double unit = 0;          // font height in pixels: points x vertical dots per inch / 72
    int workAreaWidth = 0;    // of the owner's monitor
    Size systemIcon;          // the system's icon size
    Size checkGlyph;          // the check box's square
};

struct MessageBoxMeasures {
    // Size of a text word-wrapped at `maxWidth` (tabs expanded, "&" shown as is).
    std::function<Size(std::u16string_view text, int maxWidth)> wrappedText;
    // Width of a one-line caption.
    std::function<int(std::u16string_view caption)> captionWidth;
};

struct MessageBoxLayout {
    Size client;
    std::optional<Rect> icon;
    Rect text;
    std::optional<Rect> footer;
    std::vector<Rect> buttons;  // in the order of ButtonsFor
    Size picture;               // size of the button pictures
};

MessageBoxLayout LayoutMessageBox(const MessageBoxRequest& request, const std::vector<MessageBoxButton>& buttons,
                                  const MessageBoxMetrics& metrics, const MessageBoxMeasures& measures);

// `unit` multiples as the layout rounds them: up to whole pixels.
int UnitsToPixels(double units, double unit);

// A size in pixels in dialog units of the box's font (base units in pixels),
// rounded up so that nothing is cut.
Size PixelsToDialogUnits(Size pixels, Size baseUnits);

}  // namespace palisade
