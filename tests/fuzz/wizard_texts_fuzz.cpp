// libFuzzer target: what the wizard reads from the payload and from templates
// — the dialog-font copy of a template with a face from the settings, the
// licence and readme documents, the background's text lines and the
// background picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/background_text.h"
#include "ui/dialog_template.h"
#include "ui/dib_picture.h"
#include "ui/document_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace palisade;
    // The first byte splits the input into a face name and a template.
    std::size_t faceBytes = size == 0 ? 0 : std::min<std::size_t>(data[0], size - 1) & ~std::size_t(1);
    std::u16string face;
    for (std::size_t i = 0; i + 1 < faceBytes; i += 2) face += char16_t(data[1 + i] | (data[2 + i] << 8));
    ByteView rest(data + (size == 0 ? 0 : 1 + faceBytes), size == 0 ? 0 : size - 1 - faceBytes);

    DialogTemplateRead read = ReadDialogTemplate(rest);
    if (!read.dialog && read.errorOffset > rest.size) std::abort();
    if (std::optional<std::vector<std::uint8_t>> copy = WithDialogFont(rest, face, 9)) {
        // A copy is made only of a readable template, and it reads back with the same items.
        DialogTemplateRead again = ReadDialogTemplate(*copy);
        if (!read.dialog || !again.dialog) std::abort();
        if (again.dialog->items.size() != read.dialog->items.size()) std::abort();
        if (again.dialog->firstItemOffset % 4 != 0 || again.dialog->points != 9) std::abort();
    }

    if (read.dialog) {
        // What the program writes of a template reads back with the same items.
        DialogTemplateRead written = ReadDialogTemplate(WriteDialogTemplate(*read.dialog));
        if (!written.dialog || written.dialog->items.size() != read.dialog->items.size()) std::abort();
    }

    if (std::optional<DibPicture> picture = ReadBmpFile(rest)) {
        // A picture read holds every row it claims, inside the limits.
        if (picture->width > kLargestPictureSide || picture->height > kLargestPictureSide) std::abort();
        if (picture->bits.size() != std::size_t(picture->Stride()) * std::size_t(picture->height)) std::abort();
        (void)PixelAt(*picture, picture->width - 1, picture->height - 1);
    }

    std::u16string text = PlainDocumentText(rest);
    if (text.find(u'\0') != std::u16string::npos) std::abort();
    for (std::u16string_view line : SplitTextLines(text)) {
        if (line.size() > kMaxDrawnLineLength || line.find_first_of(u"\r\n") != std::u16string_view::npos) std::abort();
    }
    (void)IsRichText(rest);
    return 0;
}
