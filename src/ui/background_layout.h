// The background window's painting as arithmetic: the bands of the
// hand-drawn gradient and where the picture goes for each stretch mode.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/geometry.h"

namespace palisade {

// One solid band of the gradient drawn by hand when the system's gradient
// fill is missing or fails.
struct GradientBand {
    Rect rect;
    Colour colour = 0;
};

// Bands of client height / 224 pixels (1 to 3), as many as cover the client
// area (the last one cut at its bottom); the first has the top colour, the
// last the bottom colour, and every channel steps evenly between them.
std::vector<GradientBand> HandDrawnGradient(const Rect& client, Colour top, Colour bottom);

enum class StretchMode : std::int32_t {
    Fill = 0,            // stretched to the picture area (also every unknown code)
    Fit = 1,             // largest size with the picture's aspect ratio, centred
    WholeMultiple = 2,   // largest whole multiple of the natural size, centred; Fit when even 1x is too big
    Tile = 3,            // natural size, tiled over the whole client area
};

struct TileGrid {
    int columns = 0;
    int rows = 0;
};

struct BackgroundPicturePlan {
    enum class Kind { None, Tiled, Stretched } kind = Kind::None;
    Rect rect;      // Stretched: where the picture is drawn
    TileGrid tiles; // Tiled: tiles of the natural size from the client's top-left corner
};

// Where the picture goes: nothing for an empty picture or a size of 0% or
// less; tiles for mode 3 (which ignores the size); otherwise the client area
// scaled about its centre to `bitmapSize` percent, shrunk by the mode.
BackgroundPicturePlan PlanBackgroundPicture(const Rect& client, Size picture, std::int32_t bitmapSize,
                                            std::int32_t stretchMode);

// The pieces of the plan, for the tests and for the Win32 layer.
Rect PictureArea(const Rect& client, std::int32_t bitmapSize);
Rect FitPicture(const Rect& area, Size picture);
Rect WholeMultiplePicture(const Rect& area, Size picture);
TileGrid PictureTiles(const Rect& client, Size picture);

}  // namespace palisade
