// The run log: the UTF-8 text that every step of an installation appends its
// lines to, and that becomes the body of Install.log at the end of the run.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/format.h"
#include "core/text.h"

namespace palisade {

// Receives a copy of everything appended to a RunLog (the Windows side sends
// it to the debugger channel, so admins can follow a run live).
class RunLogSink {
public:
    virtual ~RunLogSink() = default;
    // `text` is one append with the line breaks at its ends removed; never empty.
    virtual void Write(std::u16string_view text) = 0;
};

namespace detail {
// Arguments of the narrow formatted append: narrow texts are Windows-1252 and
// are widened; numbers pass through unchanged.
inline std::u16string NarrowFormatArg(std::string_view text) { return Windows1252ToUtf16(text); }
inline std::u16string NarrowFormatArg(const char* text) {
    return Windows1252ToUtf16(text ? std::string_view(text) : std::string_view());
}
inline std::u16string NarrowFormatArg(const std::string& text) { return Windows1252ToUtf16(text); }
template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
Number NarrowFormatArg(Number value) {
    return value;
}
}  // namespace detail

class RunLog {
public:
    // Narrow text is taken as Windows-1252.
    void AppendNarrow(std::string_view text);
    template <typename... Args>
    void AppendFormattedNarrow(std::string_view format, const Args&... args) {
        // Windows-1252 is one byte per character, so formatting after widening
        // gives the same text as widening the formatted bytes.
        AppendWide(Format(Windows1252ToUtf16(format), {FormatArg(detail::NarrowFormatArg(args))...}));
    }
    // Wide text; unpaired surrogates become U+FFFD.
    void AppendWide(std::u16string_view text);
    void AppendFormattedWide(std::u16string_view format, std::initializer_list<FormatArg> args);
    void AppendWidePieces(std::initializer_list<std::u16string_view> pieces);
    // Bytes that are already UTF-8 (or that must reach the log unchanged, such
    // as a batch's captured console output).
    void AppendRaw(std::string_view bytes);

    const std::string& Bytes() const { return m_bytes; }
    bool Empty() const { return m_bytes.empty(); }
    void Clear() { m_bytes.clear(); }

    // The sink is not owned; null disconnects it.
    void SetSink(RunLogSink* sink) { m_sink = sink; }

private:
    void AppendUtf8(std::string_view utf8);

    std::string m_bytes;
    RunLogSink* m_sink = nullptr;
};

}  // namespace palisade
