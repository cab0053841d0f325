// The texts the wizard shows: catalogue messages in the current language with
// "<product>", "<description>" and "<os>" replaced.
#pragma once

#include <string>
#include <string_view>

#include "payload/message_catalogue.h"

namespace palisade {

class PageTexts {
public:
    PageTexts(const MessageCatalogue& catalogue, std::u16string product, std::u16string description, std::u16string os)
        : m_catalogue(catalogue), m_product(std::move(product)), m_description(std::move(description)),
          m_os(std::move(os)) {}

    // Message `number` ready to show; empty when the catalogue has none.
    std::u16string Message(int number) const;
    // Any text from the payload with the placeholders replaced.
    std::u16string Replaced(std::u16string_view text) const;
    const std::u16string& Product() const { return m_product; }

private:
    const MessageCatalogue& m_catalogue;
    std::u16string m_product;
    std::u16string m_description;
    std::u16string m_os;
};

}  // namespace palisade
