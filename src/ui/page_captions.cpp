// Page messages, captions and banner lines.
#include "ui/page_captions.h"

#include "core/text.h"

namespace palisade {

PageMessageNumbers MessagesOf(PageKind page, bool startMenuFollows) {
    switch (page) {
        case PageKind::Greeting: return {65, 65, 103, 1, 48, 49};
        case PageKind::Language: return {94, 65, 94, 82, 48, 49};
        case PageKind::Licence: return {44, 65, 44, 47, 45, 46};
        case PageKind::Readme: return {50, 65, 50, 51, 48, 49};
        case PageKind::Folder: return {24, 65, 24, 11, startMenuFollows ? 48 : 90, 49};
        case PageKind::StartMenu: return {89, 65, 89, 88, 90, 49};
        case PageKind::Password: return {75, 65, 75, 76, 0, 49};  // OK is the literal "OK"
        case PageKind::Summary: return {43, 65, 43, 42, 95, 0};
        case PageKind::MustUninstall: return {21, 65, 21, 9, 104, 49};
        case PageKind::SupportOffer: return {110, 65, 110, 109, 110, 104};
        case PageKind::ProgressInstall: return {54, 65, 54, 39, 0, 49};
        case PageKind::ProgressUninstall: return {55, 55, 55, 71, 0, 49};
    }
    return {};
}

PageDecoration DecoratePage(PageKind page, PageVariant variant, const PageTexts& texts,
                            const std::optional<std::u16string>& bannerLine1) {
    const PageMessageNumbers numbers = MessagesOf(page);
    PageDecoration decoration;
    if (variant != PageVariant::Banner) {
        decoration.caption = texts.Message(numbers.caption);
        return decoration;
    }
    decoration.caption = texts.Message(numbers.bannerCaption);
    decoration.bannerLine1 = bannerLine1.value_or(texts.Product());
    decoration.bannerLine2 = texts.Message(numbers.bannerLine2);
    return decoration;
}

std::u16string LanguageBannerLine1(const PageTexts& texts) {
    std::u16string line = texts.Message(114);
    return line.empty() ? texts.Product() : line;
}

std::u16string GreetingText(PageVariant variant, const PageTexts& texts) {
    std::u16string text = texts.Message(MessagesOf(PageKind::Greeting).text);
    return variant == PageVariant::Banner ? u"\r\n\r\n" + text : text;
}

std::optional<std::u16string> GreetingLinkMarkup(std::u16string_view linkText, std::u16string_view address) {
    if (linkText.empty() || address.empty()) return std::nullopt;
    std::u16string anchor = u"<a href=\"" + ReplaceAll(address, u"\"", u"%22") + u"\">";
    return ReplaceAll(linkText, u"<a>", anchor);
}

}  // namespace palisade
