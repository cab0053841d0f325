// printf-style formatting of message texts.
#include "core/format.h"

#include <algorithm>

#include "core/text.h"

namespace palisade {

namespace {

std::u16string Pad(std::u16string body, std::size_t width, bool left, bool zero) {
    if (body.size() >= width) return body;
    std::size_t fill = width - body.size();
    if (left) return body + std::u16string(fill, u' ');
    if (zero) {
        std::size_t signLength = (!body.empty() && body[0] == u'-') ? 1 : 0;
        return body.substr(0, signLength) + std::u16string(fill, u'0') + body.substr(signLength);
    }
    return std::u16string(fill, u' ') + body;
}

}  // namespace

std::u16string Format(std::u16string_view format, std::initializer_list<FormatArg> args) {
    std::u16string out;
    const FormatArg* next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        char16_t c = format[i];
        if (c != u'%') {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t start = i++;
        if (i < format.size() && format[i] == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        bool left = false, zero = false;
        for (; i < format.size() && (format[i] == u'-' || format[i] == u'0'); ++i) {
            (format[i] == u'-' ? left : zero) = true;
        }
        std::size_t width = 0;
        for (; i < format.size() && format[i] >= u'0' && format[i] <= u'9'; ++i) {
            // A message text from the payload must not be able to ask for
            // gigabytes of padding; no text the program shows is wider.
            width = std::min<std::size_t>(width * 10 + (format[i] - u'0'), kMaxFormatWidth);
        }
        while (i < format.size() && (format[i] == u'h' || format[i] == u'l' || format[i] == u'z' ||
                                     format[i] == u'I' || format[i] == u'6' || format[i] == u'4')) {
            ++i;
        }
        if (i >= format.size()) {
            out.append(format.substr(start));
            break;
        }
        char16_t conversion = format[i++];
        bool wantsText = conversion == u's';
        bool known = wantsText || conversion == u'd' || conversion == u'i' || conversion == u'u' ||
                     conversion == u'x' || conversion == u'X' || conversion == u'c';
        if (!known || next == args.end() || next->IsText() != wantsText) {
            out.append(format.substr(start, i - start));
            continue;
        }
        const FormatArg& arg = *next++;
        std::u16string body;
        switch (conversion) {
            case u's': body = std::u16string(arg.Text()); break;
            case u'c': body = std::u16string(1, char16_t(arg.Number())); break;
            case u'u': body = ToU16(std::int64_t(std::uint32_t(arg.Number()))); break;
            case u'x': body = ToU16Hex(std::uint32_t(arg.Number()), 1, false); break;
            case u'X': body = ToU16Hex(std::uint32_t(arg.Number()), 1, true); break;
            default: body = ToU16(arg.Number()); break;
        }
        out.append(Pad(std::move(body), width, left, zero && !wantsText));
    }
    return out;
}

}  // namespace palisade
