// What the wizard is set up with for a run: the appearance, the flags and
// options the pages read, each page family's variant, the link addresses,
// the placeholder values and the texts. The installer makes it from its
// settings; the uninstaller from the values its installation left.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "payload/message_catalogue.h"
#include "payload/settings.h"
#include "ui/background_settings.h"
#include "ui/page_variant.h"

namespace palisade {

struct PageVariants {
    PageVariant greeting = PageVariant::SidePicture;
    PageVariant language = PageVariant::SidePicture;
    PageVariant licence = PageVariant::SidePicture;
    PageVariant readme = PageVariant::SidePicture;
    PageVariant folder = PageVariant::SidePicture;
    PageVariant startMenu = PageVariant::SidePicture;
    PageVariant summary = PageVariant::SidePicture;
    PageVariant progress = PageVariant::SidePicture;
};

struct WizardSetup {
    BackgroundSettings background;
    std::uint32_t settingsFlags1 = 0;
    std::uint32_t settingsFlags2 = 0;
    std::uint32_t installerOptions = 0;
    PageVariants variants;
    std::uint32_t progressPosition = 0;
    std::u16string greetingLinkAddress;
    std::string linkNotifyAddress;  // program-narrow text
    std::u16string product;
    std::u16string description;
    std::u16string os;
    bool uninstalling = false;
    bool silent = false;
    bool automatic = false;
    // The installer's catalogue (its current language is the chosen one);
    // null for the uninstaller, whose texts are `messages`.
    MessageCatalogue* catalogue = nullptr;
    std::function<std::u16string(int)> messages;
};

// The installer's setup: the settings' appearance, flags, options, variants
// and addresses, the product's name and description, and its catalogue
// (whose current language the language page chooses).
WizardSetup InstallerWizardSetup(InstallerSettings& settings, std::u16string os, bool silent, bool automatic);

}  // namespace palisade
