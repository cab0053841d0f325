// Where the wizard's windows go: pages centred over the background window,
// the progress page by its position code, the message box over its owner,
// and the button row along a page's bottom edge.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/geometry.h"

namespace palisade {

// `size` moved so that its centre is the centre of `over` (the background
// window, or the work area when there is none).
Rect CentredOn(const Rect& over, Size size);

// `box` moved (not resized) into `area`; a box larger than the area keeps
// its top-left corner in it.
Rect KeptInside(const Rect& box, const Rect& area);

// The progress page placed by its position code inside `area`: bits 0-1 say
// 1 left edge, 2 right edge, 3 centred, 0 unchanged; bits 3-4 say 8 top
// edge, 16 bottom edge, 24 centred, 0 unchanged. The page keeps its size.
Rect PlaceProgressPage(const Rect& page, const Rect& area, std::uint32_t positionCode);

// The message box: at the requested top-left corner or centred over its
// owner (the work area without one), in both cases kept inside the work area.
Rect PlaceMessageBox(Size box, const std::optional<Rect>& owner, const Rect& workArea,
                     const std::optional<Point>& requested);

// One button of a page's button row: its rectangle in the page's client area
// and the width of its caption in its font (with the leading space when
// button pictures are on).
struct RowButton {
    Rect rect;
    int captionWidth = 0;
};

struct ButtonRowMetrics {
    int clientWidth = 0;   // of the page
    int dialogMargin = 0;  // pixels
    int borderWidth = 0;   // the system's border width
    bool pictures = false; // buttons show their pictures
    bool centred = false;  // the progress page centres its row
};

// The picture's side on a button: 55% of the button's height.
int ButtonPictureSide(int buttonHeight);

// The row after the caption test: a button grows (never shrinks) to hold its
// caption, its picture and its margins (two border widths and two dialog
// margins); order and gaps stay; the row ends at the client's right edge
// minus the dialog margin, or is centred. A row wider than the page gives
// back the growth, in equal shares, until it fits; one that still does not
// fit starts at the left margin.
std::vector<Rect> ArrangeButtonRow(const std::vector<RowButton>& buttons, const ButtonRowMetrics& metrics);

}  // namespace palisade
