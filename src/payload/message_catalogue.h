// The translated user-interface messages of an installer, indexed by message number and language.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

inline constexpr std::size_t kMaxCatalogueLanguages = 200;
inline constexpr std::size_t kMaxCatalogueMessages = 10000;

class MessageCatalogue {
public:
    // An empty catalogue: not loaded, every message is empty.
    MessageCatalogue() = default;
    // `messageCount` messages, all empty, in each of `languages`. The default
    // language is the first named "English" (ignoring case), else language 0;
    // it is also the current language until SetLanguage chooses another.
    MessageCatalogue(std::vector<std::u16string> languages, std::size_t messageCount);

    // Stores message `message` in `language` with every line break made CR LF.
    // Indices outside the catalogue are ignored.
    void SetText(std::size_t message, std::size_t language, std::u16string_view text);
    const std::u16string& Text(std::size_t message, std::size_t language) const;

    // Message `index` in the current language; empty when not loaded or out of range.
    const std::u16string& Message(int index) const;

    bool IsLoaded() const { return !m_languages.empty(); }
    std::size_t LanguageCount() const { return m_languages.size(); }
    std::size_t MessageCount() const { return m_messageCount; }
    const std::vector<std::u16string>& Languages() const { return m_languages; }
    std::size_t DefaultLanguage() const { return m_defaultLanguage; }
    std::size_t CurrentLanguage() const { return m_currentLanguage; }
    // Chooses the language of Message(); false (and no change) when out of range.
    bool SetLanguage(std::size_t language);

    friend bool operator==(const MessageCatalogue& a, const MessageCatalogue& b);
    friend bool operator!=(const MessageCatalogue& a, const MessageCatalogue& b) { return !(a == b); }

private:
    std::vector<std::u16string> m_languages;
    std::size_t m_messageCount = 0;
    std::vector<std::u16string> m_texts;  // message-major: message m, language l at m × languages + l
    std::size_t m_defaultLanguage = 0;
    std::size_t m_currentLanguage = 0;
};

// Every line break (CR LF, a lone LF, a lone CR, LF CR) becomes one CR LF.
std::u16string NormaliseLineBreaks(std::u16string_view text);

// Replaces every "<product>", "<description>" and "<os>" in one pass, so that a
// replacement that itself contains a placeholder is left as it is.
std::u16string ReplacePlaceholders(std::u16string_view text, std::u16string_view product,
                                   std::u16string_view description, std::u16string_view os);

}  // namespace palisade
