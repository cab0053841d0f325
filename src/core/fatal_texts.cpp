// The built-in texts of the fatal path.
#include "core/fatal_texts.h"

#include "core/format.h"
#include "core/text.h"

namespace palisade {

std::u16string RenderSystemErrorNumber(std::uint32_t error) {
    if (error & 0x80000000u) return u"0x" + ToU16Hex(error, 8, true);
    return ToU16(error);
}

std::u16string FormatCorruptInstallerMessage(std::u16string_view codeTemplate, int code,
                                             std::uint32_t systemError,
                                             std::u16string_view systemMessage) {
    std::u16string_view text = codeTemplate.empty() ? kCorruptInstallerText : codeTemplate;
    std::u16string message = Format(text, {code});
    if (systemError != 0) {
        message += Format(kSystemErrorSuffix, {RenderSystemErrorNumber(systemError), systemMessage});
    }
    return message;
}

std::u16string TruncateFatalMessage(std::u16string text) {
    if (text.size() > kMaxFatalMessageLength) text.resize(kMaxFatalMessageLength);
    return text;
}

}  // namespace palisade
