// The licence and readme documents as the pages show them: rich text handed
// to the rich-edit control as it is, plain text decoded to wide text with
// CR LF line breaks, and the document control's inner margins.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_view.h"
#include "ui/geometry.h"

namespace palisade {

// A document that begins as a rich-text document ("{\rtf", after an
// optional UTF-8 byte-order mark).
bool IsRichText(ByteView document);

// The bytes streamed into the rich-edit control: without a leading UTF-8
// byte-order mark.
ByteView RichTextStream(ByteView document);

// A plain document as wide text: UTF-16 (either byte order) or UTF-8 after
// their byte-order marks; without one, UTF-8 when the bytes are valid UTF-8,
// else Windows-1252. Every line break becomes CR LF, as a multi-line edit
// control wants; a NUL ends the text, as it would in the control.
std::u16string PlainDocumentText(ByteView document);

// The documents of the licence (or readme) pages, one page each, in order:
// `prefix` (the catalogue's text put in front of them) when it is not empty,
// then every non-empty document. Plain documents come with `replace` applied
// (the placeholders), as UTF-8 with its byte-order mark; rich text stays as
// it is.
std::vector<std::vector<std::uint8_t>> PageDocuments(
    std::u16string_view prefix, const std::vector<std::vector<std::uint8_t>>& documents,
    const std::function<std::u16string(std::u16string_view)>& replace);

// Inner margins of the document control: 0.35 of the horizontal and 0.3 of
// the vertical dialog base unit on each side, rounded.
struct DocumentMargins {
    int horizontal = 0;
    int vertical = 0;
};
DocumentMargins DocumentInnerMargins(Size dialogBaseUnits);

}  // namespace palisade
