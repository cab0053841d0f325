// What the wizard's windows share for the whole run: the appearance, the
// texts, the page variants and options, the background window and the page
// on top. The installer fills it from its settings, the uninstaller from the
// values its installation left; both call StartWizard before the first window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/win32/unique_handle.h"
#include "payload/message_catalogue.h"
#include "ui/page_texts.h"
#include "ui/wizard_setup.h"

namespace palisade {

class WizardState {
public:
    WizardSetup setup;
    HWND background = nullptr;  // none when switched off or not made
    HWND topPage = nullptr;     // the page that owns questions while it is shown
    UniqueGdiObject pageBrush;  // the pages' background, when the settings colour them
    DWORD mainThread = 0;

    // Message `number` in the current language with its placeholders replaced.
    std::u16string Message(int number) const;
    PageTexts Texts() const;
    // The window that owns a box or page opened now: the page on top, else the background.
    HWND Owner() const { return topPage != nullptr ? topPage : background; }
    bool ButtonPictures() const;
    bool OnMainThread() const { return ::GetCurrentThreadId() == mainThread; }
    MessageCatalogue& Catalogue() { return setup.catalogue != nullptr ? *setup.catalogue : ownCatalogue; }
    const MessageCatalogue& Catalogue() const { return setup.catalogue != nullptr ? *setup.catalogue : ownCatalogue; }

    // The uninstaller's texts as a one-language catalogue.
    MessageCatalogue ownCatalogue;
};

WizardState& Wizard();

// Records the setup, the main thread and the page brush, and registers the
// common control classes the pages use (the greeting's link among them).
// Creates the background window unless the settings or a silent run switch
// it off.
void StartWizard(WizardSetup setup);

}  // namespace palisade
