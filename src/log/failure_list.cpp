// Failure entries and the rendering of system error codes in them.
#include "log/failure_list.h"

#include "core/fatal_texts.h"
#include "core/format.h"

namespace palisade {

std::u16string RenderErrorCode(std::uint32_t code) { return RenderSystemErrorNumber(code); }

std::u16string DescribeErrorCode(std::uint32_t code, const ErrorTexts& texts) {
    if (code == kInvalidPasswordCode) return kInvalidPasswordText;
    std::u16string text = texts.userLanguage;
    if (!texts.english.empty() && texts.english != texts.userLanguage) {
        text += u"\r\n";
        text += texts.english;
    }
    return text;
}

std::u16string FailureEntry(std::u16string_view heading, std::u16string_view item,
                            std::uint32_t lastError, const ErrorTexts& texts) {
    std::u16string entry = Format(u"%s %s\r\n", {heading, item});
    if (lastError != 0) {
        entry += Format(u"Code %s: %s\r\n\r\n", {RenderErrorCode(lastError), DescribeErrorCode(lastError, texts)});
    }
    return entry;
}

}  // namespace palisade
