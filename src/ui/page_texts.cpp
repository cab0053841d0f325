// Catalogue messages with their placeholders replaced.
#include "ui/page_texts.h"

namespace palisade {

std::u16string PageTexts::Message(int number) const { return Replaced(m_catalogue.Message(number)); }

std::u16string PageTexts::Replaced(std::u16string_view text) const {
    return ReplacePlaceholders(text, m_product, m_description, m_os);
}

}  // namespace palisade
