// printf-style formatting of the program's message texts, which are stored with
// C format directives (%s, %d, %zu, %08zX ...) and filled at run time.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace palisade {

class FormatArg {
public:
    FormatArg(std::u16string_view text) : m_isText(true), m_text(text) {}
    FormatArg(const std::u16string& text) : m_isText(true), m_text(text) {}
    FormatArg(const char16_t* text) : m_isText(true), m_text(text) {}
    FormatArg(int value) : m_number(value) {}
    FormatArg(long value) : m_number(value) {}
    FormatArg(long long value) : m_number(value) {}
    FormatArg(unsigned value) : m_number(std::int64_t(value)) {}
    FormatArg(unsigned long value) : m_number(std::int64_t(value)) {}
    FormatArg(unsigned long long value) : m_number(std::int64_t(value)) {}

    bool IsText() const { return m_isText; }
    std::u16string_view Text() const { return m_text; }
    std::int64_t Number() const { return m_number; }

private:
    bool m_isText = false;
    std::u16string_view m_text;
    std::int64_t m_number = 0;
};

// Supports the directives %s %d %i %u %x %X %c and %%, with the flags '-' and
// '0', a field width, and the length modifiers h l ll z (which are ignored:
// numbers are taken as given). A directive without an argument, or of the wrong
// kind for its argument, is copied literally so that a bad message text cannot
// crash the program.
// Field widths above kMaxFormatWidth count as that width.
std::u16string Format(std::u16string_view format, std::initializer_list<FormatArg> args);

inline constexpr std::size_t kMaxFormatWidth = 4096;

}  // namespace palisade
