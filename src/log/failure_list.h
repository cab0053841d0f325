// The failure list: the wide text that collects every failure of a run. An
// empty list means the installation succeeded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace palisade {

class FailureList {
public:
    // Entries with their own wording are appended as they are.
    void Append(std::u16string_view text) { m_text.append(text); }
    const std::u16string& Text() const { return m_text; }
    bool Empty() const { return m_text.empty(); }
    void Clear() { m_text.clear(); }

private:
    std::u16string m_text;
};

// "0x" and eight upper-case hex digits when the top bit is set (such codes are
// HRESULTs and read as nonsense in decimal), otherwise decimal.
std::u16string RenderErrorCode(std::uint32_t code);

inline constexpr std::uint32_t kInvalidPasswordCode = 86;
inline constexpr char16_t kInvalidPasswordText[] = u"Incorrect password.";

// The system's text for an error code: the user-language text, and the English
// one (empty when the system has none in that language).
struct ErrorTexts {
    std::u16string userLanguage;
    std::u16string english;
};

// The explanation written after "Code N: ": code 86 has a fixed text; the
// English text follows the user-language text on a new line when they differ.
std::u16string DescribeErrorCode(std::uint32_t code, const ErrorTexts& texts);

// One failure entry: "<heading> <item>\r\n" and, when `lastError` is not zero,
// "Code <code>: <explanation>\r\n\r\n". `heading` is message 31 of the catalogue.
std::u16string FailureEntry(std::u16string_view heading, std::u16string_view item,
                            std::uint32_t lastError, const ErrorTexts& texts);

}  // namespace palisade
