// The layout variants of the wizard's pages and the template each page family
// runs in each variant.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace palisade {

// One byte per page in the installer settings.
enum class PageVariant : std::uint8_t {
    Plain = 0,            // no picture, content across the full width ("...2")
    SidePicture = 1,      // picture at the left with a margin (the plain name)
    Banner = 2,           // banner picture and two lines across the top ("...3")
    FullSidePicture = 3,  // picture flush at the left, content on a white panel ("...4")
};

// A stored variant: 0, 1 and 3 as they are, every other value is Banner.
PageVariant VariantFromSetting(std::int32_t value);

enum class PageFamily { Greeting, Language, Licence, Readme, Folder, StartMenu, Summary, Progress };

// The template of `family` in `variant`; nothing for the plain greeting,
// which is a message box.
std::optional<std::string> PageTemplateName(PageFamily family, PageVariant variant);

// The single templates, which have no variants.
inline constexpr char kPasswordTemplate[] = "EnterPassword";
inline constexpr char kMustUninstallTemplate[] = "MustUninstall";
inline constexpr char kSupportOfferTemplate[] = "SupportOffer";
inline constexpr char kCrashTemplate[] = "ExceptionDlg";

// Variants that show the side picture (control 1021).
inline bool HasSidePicture(PageVariant v) { return v == PageVariant::SidePicture || v == PageVariant::FullSidePicture; }

}  // namespace palisade
