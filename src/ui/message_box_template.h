// The installer's message box as a dialog template built in memory: the
// laid-out box converted to dialog units, with one control per icon, text,
// footer check box and button.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/geometry.h"
#include "ui/message_box_layout.h"
#include "ui/message_box_model.h"

namespace palisade {

// Control ids of the box's statics and footer. Buttons take their result
// ids as control ids; the program's own result ids stay far below these.
inline constexpr std::uint32_t kBoxIconId = 20000;
inline constexpr std::uint32_t kBoxTextId = 20001;
inline constexpr std::uint32_t kBoxFooterId = 20002;

struct MessageBoxTemplateInput {
    const MessageBoxRequest* request = nullptr;
    const std::vector<MessageBoxButton>* buttons = nullptr;  // ButtonsFor(request)
    const MessageBoxLayout* layout = nullptr;
    std::u16string fontFace;
    std::uint16_t fontPoints = 0;
    Size baseUnits;  // of the box's font, in pixels
};

// The template: popup, visible, caption, system menu, modal frame, centred,
// with the box's font (system-modal with flag 0x1000); an icon static when
// the layout has an icon, the text (no prefix, so "&" shows as it is), the
// footer check box, and the buttons in order, the default one with the
// default-button style. Rectangles are rounded up to whole dialog units.
DialogTemplate MessageBoxDialog(const MessageBoxTemplateInput& input);

// A rectangle in pixels as dialog units, each edge rounded up.
Rect RectInDialogUnits(const Rect& pixels, Size baseUnits);

}  // namespace palisade
