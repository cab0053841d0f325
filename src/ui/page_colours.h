// How the pages colour their static controls and frame their side picture,
// by control, variant and the page colours of the settings.
#pragma once

#include <cstdint>

#include "ui/background_settings.h"
#include "ui/geometry.h"
#include "ui/page_variant.h"

namespace palisade {

struct StaticColours {
    enum class Background {
        System,     // the dialog's own handling: system colours
        None,       // transparent text and no brush: the panel or picture shows through
        White,      // a white brush
        PageBrush,  // the page background brush
    };
    Background background = Background::System;
    bool transparent = false;  // text drawn without its own background
    Colour text = 0;           // not used with Background::System
};

// The colours of static control `controlId` on a page:
// - the document (1005): black on white;
// - texts (1009, 1011, 1036, 1037, 1039, 1040): transparent; black with no
//   brush on FullSidePicture pages, else the page text colour on the page
//   brush when there is one, else system colours;
// - the summary boxes (1023 to 1029): black on white on FullSidePicture pages,
//   else the page text colour on the page brush when there is one;
// - the banner lines (1034, 1035): the banner text colour, transparent;
// - everything else: system colours.
StaticColours ColoursForStatic(int controlId, PageVariant variant, const BackgroundSettings& background);

enum class PictureFrame { None, SunkenEdge, ThinBorder };

// The side picture's frame: mode 1 a sunken client edge, mode 2 a thin border,
// mode 3 (the default) a sunken edge on SidePicture pages and none on
// FullSidePicture pages; other modes and pages without a side picture, none.
PictureFrame SidePictureFrame(std::uint8_t frameMode, PageVariant variant);

}  // namespace palisade
