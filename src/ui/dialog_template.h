// Dialog resource templates as bytes: reading the classic and the extended
// form into fields, and the copy with another font that the pages run from
// when the installer sets its own dialog font.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_view.h"

namespace palisade {

// A name field of a template: absent, a 16-bit ordinal, or a text.
struct TemplateName {
    enum class Kind { None, Ordinal, Text } kind = Kind::None;
    std::uint16_t ordinal = 0;
    std::u16string text;
};

struct DialogItemTemplate {
    std::uint32_t helpId = 0;  // extended form only
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, width = 0, height = 0;  // dialog units
    std::uint32_t id = 0;                               // 16 bits in the classic form
    TemplateName className;
    TemplateName title;
    std::uint16_t extraSize = 0;  // creation data that follows the item
};

struct DialogTemplate {
    bool extended = false;
    std::uint32_t helpId = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, width = 0, height = 0;
    TemplateName menu;
    TemplateName className;
    std::u16string title;
    bool hasFont = false;  // the style has DS_SETFONT (also part of DS_SHELLFONT)
    std::uint16_t points = 0;
    std::uint16_t weight = 0;  // extended form only
    std::uint8_t italic = 0;   // extended form only
    std::uint8_t charset = 0;  // extended form only
    std::u16string face;
    std::vector<DialogItemTemplate> items;

    // Byte offsets inside the template: where the font fields begin and
    // where the first item begins (always a multiple of 4).
    std::size_t fontOffset = 0;
    std::size_t firstItemOffset = 0;
};

struct DialogTemplateRead {
    std::optional<DialogTemplate> dialog;
    std::size_t errorOffset = 0;  // where reading stopped, when it failed
};

// Reads a template that starts on a 4-byte boundary (as resources do); every
// read is bounds-checked and a template that runs past the end fails.
[[nodiscard]] DialogTemplateRead ReadDialogTemplate(ByteView bytes);

// The bytes of `dialog` in the extended form, as ReadDialogTemplate reads
// them back: the header, the font when `hasFont`, and every item on a 4-byte
// boundary without creation data. The form the program builds its message box
// in; `extended`, the offsets and the items' `extraSize` are not consulted.
[[nodiscard]] std::vector<std::uint8_t> WriteDialogTemplate(const DialogTemplate& dialog);

// The face names a font can carry (the system's face-name field holds 31
// characters and the terminator); longer faces are cut.
inline constexpr std::size_t kMaxFaceLength = 31;

// A copy of an extended template with the set-font style in which the face is
// `face` (the template's own when empty) and the point size `points` (the
// template's own when 0). The items keep their 4-byte alignment. Nothing when
// there is nothing to change or the template is not an extended one with its
// own font: the page then runs from the original.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> WithDialogFont(ByteView original, std::u16string_view face,
                                                                      std::uint16_t points);

}  // namespace palisade
