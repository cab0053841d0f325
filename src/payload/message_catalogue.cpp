// The translated user-interface messages of an installer, indexed by message number and language.
#include "payload/message_catalogue.h"

#include "core/text.h"

namespace palisade {

namespace {
const std::u16string kEmpty;

std::size_t FindDefaultLanguage(const std::vector<std::u16string>& languages) {
    for (std::size_t i = 0; i < languages.size(); ++i) {
        if (EqualsIgnoreCase(languages[i], u"English")) return i;
    }
    return 0;
}
}  // namespace

MessageCatalogue::MessageCatalogue(std::vector<std::u16string> languages, std::size_t messageCount)
    : m_languages(std::move(languages)),
      m_messageCount(m_languages.empty() ? 0 : messageCount),
      m_texts(m_languages.size() * m_messageCount),
      m_defaultLanguage(FindDefaultLanguage(m_languages)),
      m_currentLanguage(m_defaultLanguage) {}

void MessageCatalogue::SetText(std::size_t message, std::size_t language, std::u16string_view text) {
    if (message >= m_messageCount || language >= m_languages.size()) return;
    m_texts[message * m_languages.size() + language] = NormaliseLineBreaks(text);
}

const std::u16string& MessageCatalogue::Text(std::size_t message, std::size_t language) const {
    if (message >= m_messageCount || language >= m_languages.size()) return kEmpty;
    return m_texts[message * m_languages.size() + language];
}

const std::u16string& MessageCatalogue::Message(int index) const {
    if (index < 0) return kEmpty;
    return Text(std::size_t(index), m_currentLanguage);
}

bool MessageCatalogue::SetLanguage(std::size_t language) {
    if (language >= m_languages.size()) return false;
    m_currentLanguage = language;
    return true;
}

bool operator==(const MessageCatalogue& a, const MessageCatalogue& b) {
    return a.m_languages == b.m_languages && a.m_messageCount == b.m_messageCount && a.m_texts == b.m_texts &&
           a.m_defaultLanguage == b.m_defaultLanguage && a.m_currentLanguage == b.m_currentLanguage;
}

std::u16string NormaliseLineBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            out.push_back(c);
            continue;
        }
        // CR LF and LF CR are one break each; a lone CR or LF is a break of its own.
        char16_t partner = c == u'\r' ? u'\n' : u'\r';
        if (i + 1 < text.size() && text[i + 1] == partner) ++i;
        out.append(u"\r\n");
    }
    return out;
}

std::u16string ReplacePlaceholders(std::u16string_view text, std::u16string_view product,
                                   std::u16string_view description, std::u16string_view os) {
    struct Placeholder {
        std::u16string_view name;
        std::u16string_view value;
    };
    const Placeholder placeholders[] = {{u"<product>", product}, {u"<description>", description}, {u"<os>", os}};
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text[i] == u'<') {
            for (const Placeholder& p : placeholders) {
                if (text.substr(i, p.name.size()) == p.name) {
                    out.append(p.value);
                    i += p.name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out.push_back(text[i++]);
    }
    return out;
}

}  // namespace palisade
