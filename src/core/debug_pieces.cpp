// Cuts text for OutputDebugString.
#include "core/debug_pieces.h"

namespace palisade {

namespace {
std::size_t ShownWidth(char16_t c) {
    if (c == u'"' || c == u'\\' || c == u'\r' || c == u'\n' || c == u'\t') return 2;
    if (c < 0x20 || c >= 0x7F) return 6;
    return 1;
}
}  // namespace

std::vector<std::u16string> SplitForDebugOutput(std::u16string_view text) {
    std::vector<std::u16string> pieces;
    std::u16string piece;
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        std::size_t w = ShownWidth(c);
        bool splitsPair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size();
        std::size_t need = w + (splitsPair ? ShownWidth(text[i + 1]) : 0);
        if (width + need > kDebugPieceLimit && !piece.empty()) {
            pieces.push_back(std::move(piece));
            piece.clear();
            width = 0;
        }
        piece.push_back(c);
        width += w;
    }
    if (!piece.empty()) pieces.push_back(std::move(piece));
    return pieces;
}

}  // namespace palisade
