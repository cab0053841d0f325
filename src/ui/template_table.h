// What every dialog template of the stub holds (the wizard's pages in their
// variants, the single pages and the crash dialog): ids, classes, styles,
// texts and rectangles in dialog units. The resource scripts must compile to
// exactly this; a unit test compares them, and the pages' code can rely on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

struct ControlSpec {
    std::uint32_t id = 0;
    std::string className;  // as the system's class names, compared ignoring case
    std::uint32_t style = 0;  // full style, WS_CHILD and WS_VISIBLE included
    int x = 0, y = 0, width = 0, height = 0;
    std::u16string text;
};

struct DialogSpec {
    std::string name;
    bool extended = true;  // extended template form
    std::uint32_t style = 0;
    int width = 0, height = 0;
    std::u16string face;
    std::uint16_t points = 0;
    std::uint16_t weight = 0;   // extended form only
    std::uint8_t charset = 0;   // extended form only
    std::vector<ControlSpec> controls;  // in template order: tab order, top of the z-order first
};

// Every template, pages first (families in page order, each in the order
// SidePicture, Plain, Banner, FullSidePicture), then the single pages and the
// crash dialog.
const std::vector<DialogSpec>& StubDialogSpecs();

// The template named `name` (ignoring case, as resource names are), or null.
const DialogSpec* FindDialogSpec(std::string_view name);

}  // namespace palisade
