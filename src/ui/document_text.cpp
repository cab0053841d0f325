// Decoding the licence and readme documents.
#include "ui/document_text.h"

#include <utf8cpp/utf8/core.h>  // the checked half throws: the stub has no exceptions

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/text.h"
#include "payload/message_catalogue.h"

namespace palisade {
namespace {

constexpr std::uint8_t kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
constexpr char kRichTextStart[] = "{\\rtf";

bool StartsWith(ByteView bytes, const std::uint8_t* prefix, std::size_t length) {
    return bytes.size >= length && std::equal(prefix, prefix + length, bytes.data);
}

std::u16string Utf16Text(ByteView bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size / 2);
    for (std::size_t i = 0; i + 1 < bytes.size; i += 2) {
        text.push_back(bigEndian ? char16_t((bytes[i] << 8) | bytes[i + 1]) : char16_t(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

}  // namespace

bool IsRichText(ByteView document) {
    ByteView body = RichTextStream(document);
    const std::size_t length = sizeof(kRichTextStart) - 1;
    return body.size >= length && std::equal(kRichTextStart, kRichTextStart + length, body.data);
}

ByteView RichTextStream(ByteView document) {
    return StartsWith(document, kUtf8Mark, sizeof(kUtf8Mark)) ? document.Sub(sizeof(kUtf8Mark)) : document;
}

std::u16string PlainDocumentText(ByteView document) {
    std::u16string text;
    if (document.size >= 2 && document[0] == 0xFF && document[1] == 0xFE) {
        text = Utf16Text(document.Sub(2), false);
    } else if (document.size >= 2 && document[0] == 0xFE && document[1] == 0xFF) {
        text = Utf16Text(document.Sub(2), true);
    } else {
        ByteView body = RichTextStream(document);
        std::string_view narrow(reinterpret_cast<const char*>(body.data), body.size);
        text = utf8::is_valid(narrow.begin(), narrow.end()) ? Utf8ToUtf16(narrow) : Windows1252ToUtf16(narrow);
    }
    text.resize(std::min(text.size(), text.find(u'\0')));
    return NormaliseLineBreaks(text);
}

std::vector<std::vector<std::uint8_t>> PageDocuments(
    std::u16string_view prefix, const std::vector<std::vector<std::uint8_t>>& documents,
    const std::function<std::u16string(std::u16string_view)>& replace) {
    auto asUtf8 = [](std::u16string_view text) {
        std::string utf8 = Utf16ToUtf8(text);
        std::vector<std::uint8_t> bytes(std::begin(kUtf8Mark), std::end(kUtf8Mark));
        bytes.insert(bytes.end(), utf8.begin(), utf8.end());
        return bytes;
    };
    std::vector<std::vector<std::uint8_t>> pages;
    if (!prefix.empty()) pages.push_back(asUtf8(replace(prefix)));
    for (const std::vector<std::uint8_t>& document : documents) {
        if (document.empty()) continue;
        ByteView bytes(document);
        pages.push_back(IsRichText(bytes) ? document : asUtf8(replace(PlainDocumentText(bytes))));
    }
    return pages;
}

DocumentMargins DocumentInnerMargins(Size dialogBaseUnits) {
    return {int(std::lround(0.35 * dialogBaseUnits.width)), int(std::lround(0.3 * dialogBaseUnits.height))};
}

}  // namespace palisade
