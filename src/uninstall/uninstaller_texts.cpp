// Message lookup for the uninstaller, with the English defaults.
#include "uninstall/uninstaller_texts.h"

#include <utility>

#include "payload/message_catalogue.h"

namespace palisade {
namespace {

struct DefaultText {
    int number;
    const char16_t* text;
};

// The English catalogue's wording, for an Uninstall.DAT that lost its messages.
constexpr DefaultText kDefaults[] = {
    {10, u"Some items could not be removed:"},
    {15, u"Removal Complete"},
    {20, u"<product> Setup"},
    {34, u"<product> has been removed from your computer."},
    {35, u"Remove Shared File?"},
    {53, u"Do you want to remove <product> and all of its components from your computer?"},
    {55, u"Removing <product>"},
    {56, u"Remove Font?"},
    {57, u"The font %s was installed with <product>. Other programs may use it.\n\nDo you want to remove it?"},
    {58, u"Could not remove"},
    {59, u"The shared file %s is no longer used by any program that Windows knows of. Other programs may still "
         u"need it.\n\nDo you want to remove it?"},
    {71, u"Please wait while <product> is removed from your computer."},
    {74, u"Your computer must be restarted to finish removing <product>.\n\nDo you want to restart now?"},
    {101, u"The removal was cancelled. <product> has not been removed completely."},
    {111, u"Cancelled"},
};

}  // namespace

std::u16string_view DefaultUninstallerMessage(int number) {
    for (const DefaultText& entry : kDefaults) {
        if (entry.number == number) return entry.text;
    }
    return {};
}

UninstallerTexts::UninstallerTexts(std::map<int, std::u16string> stored, std::u16string product, std::u16string os)
    : m_stored(std::move(stored)), m_product(std::move(product)), m_os(std::move(os)) {}

std::u16string UninstallerTexts::Message(int number) const {
    auto found = m_stored.find(number);
    std::u16string_view text =
        found != m_stored.end() && !found->second.empty() ? std::u16string_view(found->second)
                                                          : DefaultUninstallerMessage(number);
    return ReplacePlaceholders(NormaliseLineBreaks(text), m_product, m_product, m_os);
}

}  // namespace palisade
