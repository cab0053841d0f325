// The run log's append operations: every input ends up as UTF-8 bytes.
#include "log/run_log.h"

namespace palisade {

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimLineBreaks(std::string_view text) {
    while (!text.empty() && IsLineBreak(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsLineBreak(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

void RunLog::AppendUtf8(std::string_view utf8) {
    m_bytes.append(utf8);
    if (m_sink == nullptr) return;
    std::string_view visible = TrimLineBreaks(utf8);
    if (!visible.empty()) m_sink->Write(Utf8ToUtf16(visible));
}

void RunLog::AppendNarrow(std::string_view text) { AppendUtf8(Utf16ToUtf8(Windows1252ToUtf16(text))); }

void RunLog::AppendWide(std::u16string_view text) { AppendUtf8(Utf16ToUtf8(text)); }

void RunLog::AppendFormattedWide(std::u16string_view format, std::initializer_list<FormatArg> args) {
    AppendWide(Format(format, args));
}

void RunLog::AppendWidePieces(std::initializer_list<std::u16string_view> pieces) {
    std::u16string joined;
    for (std::u16string_view piece : pieces) joined.append(piece);
    AppendWide(joined);
}

void RunLog::AppendRaw(std::string_view bytes) { AppendUtf8(bytes); }

}  // namespace palisade
