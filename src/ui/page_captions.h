// The catalogue messages each page shows and the caption and banner lines a
// page gets in its variant.
#pragma once

#include <optional>
#include <string>

#include "ui/page_texts.h"
#include "ui/page_variant.h"

namespace palisade {

enum class PageKind {
    Greeting,
    Language,
    Licence,
    Readme,
    Folder,
    StartMenu,
    Password,
    Summary,
    MustUninstall,
    SupportOffer,
    ProgressInstall,
    ProgressUninstall,
};

// Message numbers of a page; 0 where the page has no such text (message 0
// is the background's title, never a page text).
struct PageMessageNumbers {
    int caption = 0;
    int bannerCaption = 65;  // the window caption of Banner pages
    int bannerLine2 = 0;     // banner line 2 of Banner pages
    int text = 0;
    int next = 0;
    int cancel = 0;
};

// `startMenuFollows`: the folder page's Next says "Next" (48) when the
// start-menu page comes after it, else the caption of message 90.
PageMessageNumbers MessagesOf(PageKind page, bool startMenuFollows = false);

struct PageDecoration {
    std::u16string caption;
    std::optional<std::u16string> bannerLine1;  // Banner pages only
    std::optional<std::u16string> bannerLine2;
};

// Caption and banner lines: the page's caption message, except on Banner
// pages, whose caption is the banner caption message, banner line 1 the
// product name (or `bannerLine1`, when the page has changed it) and banner
// line 2 the page's banner-line message.
PageDecoration DecoratePage(PageKind page, PageVariant variant, const PageTexts& texts,
                            const std::optional<std::u16string>& bannerLine1 = std::nullopt);

// Banner line 1 of the language page once the user has changed the
// language: message 114, or the product name when that is empty.
std::u16string LanguageBannerLine1(const PageTexts& texts);

// The greeting's text: on Banner pages it starts two lines lower.
std::u16string GreetingText(PageVariant variant, const PageTexts& texts);

// The greeting link's markup: message 105 with its "<a>" made an anchor to
// `address`; nothing (no link) when either is empty. A double quote in the
// address is written %22 so that it cannot end the attribute.
std::optional<std::u16string> GreetingLinkMarkup(std::u16string_view linkText, std::u16string_view address);

}  // namespace palisade
