// Where a temporary file beside a target goes.
#include "core/temporary_path.h"

namespace palisade {
namespace {

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::u16string PathWithNameSuffix(std::u16string_view target, std::u16string_view suffix) {
    std::size_t separator = target.find_last_of(u"\\/");
    std::size_t nameStart = separator == std::u16string_view::npos ? 0 : separator + 1;
    std::size_t nameRoom = suffix.size() < kLongestFileName ? kLongestFileName - suffix.size() : 0;
    std::size_t nameEnd = target.size();
    if (nameEnd - nameStart > nameRoom) {
        nameEnd = nameStart + nameRoom;
        // Cutting after the high half of a pair would leave an unpaired one.
        if (nameEnd > nameStart && IsLowSurrogate(target[nameEnd])) --nameEnd;
    }
    std::u16string path(target.substr(0, nameEnd));
    path += suffix;
    return path;
}

std::u16string ExtendedLengthPath(std::u16string_view fullPath) {
    if (fullPath.substr(0, 4) == u"\\\\?\\" || fullPath.substr(0, 4) == u"\\\\.\\") return std::u16string(fullPath);
    if (fullPath.substr(0, 2) == u"\\\\") return u"\\\\?\\UNC\\" + std::u16string(fullPath.substr(2));
    return u"\\\\?\\" + std::u16string(fullPath);
}

}  // namespace palisade
