// Building the installer's message box as an in-memory dialog template.
#include "ui/message_box_template.h"

#include "ui/window_styles.h"

namespace palisade {
namespace {

using namespace style;

// Predefined control classes as template ordinals.
constexpr std::uint16_t kButtonClass = 0x0080;
constexpr std::uint16_t kStaticClass = 0x0082;

TemplateName Ordinal(std::uint16_t value) {
    TemplateName name;
    name.kind = TemplateName::Kind::Ordinal;
    name.ordinal = value;
    return name;
}

TemplateName Text(std::u16string text) {
    TemplateName name;
    name.kind = text.empty() ? TemplateName::Kind::None : TemplateName::Kind::Text;
    name.text = std::move(text);
    return name;
}

DialogItemTemplate Item(std::uint32_t id, std::uint16_t classOrdinal, std::uint32_t itemStyle, const Rect& pixels,
                        Size baseUnits, std::u16string title) {
    DialogItemTemplate item;
    item.id = id;
    item.style = kChild | kVisible | itemStyle;
    const Rect du = RectInDialogUnits(pixels, baseUnits);
    item.x = std::int16_t(du.left);
    item.y = std::int16_t(du.top);
    item.width = std::int16_t(du.Width());
    item.height = std::int16_t(du.Height());
    item.className = Ordinal(classOrdinal);
    item.title = Text(std::move(title));
    return item;
}

}  // namespace

Rect RectInDialogUnits(const Rect& pixels, Size baseUnits) {
    auto up = [](int value, int scale, int base) {
        if (base <= 0) return 0;
        return value >= 0 ? (value * scale + base - 1) / base : -((-value * scale) / base);
    };
    return {up(pixels.left, 4, baseUnits.width), up(pixels.top, 8, baseUnits.height),
            up(pixels.right, 4, baseUnits.width), up(pixels.bottom, 8, baseUnits.height)};
}

DialogTemplate MessageBoxDialog(const MessageBoxTemplateInput& input) {
    const MessageBoxRequest& request = *input.request;
    const std::vector<MessageBoxButton>& buttons = *input.buttons;
    const MessageBoxLayout& layout = *input.layout;
    DialogTemplate dialog;
    dialog.extended = true;
    dialog.style = kPopup | kVisible | kCaption | kSysMenu | kDsModalFrame | kDsCenter | kDsSetFont;
    if (request.flags & kBoxSystemModal) dialog.style |= kDsSystemModal;
    const Size size = PixelsToDialogUnits(layout.client, input.baseUnits);
    dialog.width = std::int16_t(size.width);
    dialog.height = std::int16_t(size.height);
    dialog.title = request.caption;
    dialog.hasFont = true;
    dialog.points = input.fontPoints;
    dialog.weight = 400;
    dialog.face = input.fontFace;

    const Size base = input.baseUnits;
    if (layout.icon) dialog.items.push_back(Item(kBoxIconId, kStaticClass, kSsIcon, *layout.icon, base, {}));
    dialog.items.push_back(Item(kBoxTextId, kStaticClass, kSsLeft | kSsNoPrefix, layout.text, base, request.text));
    if (layout.footer) {
        dialog.items.push_back(Item(kBoxFooterId, kButtonClass, kBsAutoCheckBox | kTabStop, *layout.footer, base,
                                    request.footerText));
    }
    const std::size_t defaultIndex = DefaultButtonIndex(request.flags, buttons.size());
    for (std::size_t i = 0; i < buttons.size() && i < layout.buttons.size(); ++i) {
        std::uint32_t buttonStyle = (i == defaultIndex ? kBsDefPushButton : kBsPushButton) | kTabStop;
        if (i == 0) buttonStyle |= kGroup;
        // A button with a picture shows it left of its caption, a space apart.
        std::u16string caption = buttons[i].picture > 0 ? u" " + buttons[i].caption : buttons[i].caption;
        dialog.items.push_back(Item(std::uint32_t(buttons[i].resultId), kButtonClass, buttonStyle, layout.buttons[i],
                                    base, std::move(caption)));
    }
    return dialog;
}

}  // namespace palisade
