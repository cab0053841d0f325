// The licence and readme documents as the pages show them: rich text handed
// to the rich-edit control as it is, plain text decoded to wide text with
// CR LF line breaks, and the document control's inner margins.
#pragma once

#include <string>

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

// Inner margins of the document control: 0.35 of the horizontal and 0.3 of
// the vertical dialog base unit on each side, rounded.
struct DocumentMargins {
    int horizontal = 0;
    int vertical = 0;
};
DocumentMargins DocumentInnerMargins(Size dialogBaseUnits);

}  // namespace palisade
