// The wizard pages as the main sequence calls them. The pages themselves
// (dialog templates, layouts, the folder browser) are not part of the program
// yet: until they are, an interactive run passes every page that only informs
// or offers a default as if Next were pressed, and a page that demands an
// answer nobody has given (password, uninstall-first) cancels.
#pragma once

#include <string>
#include <string_view>

namespace palisade {

enum class WizardPage {
    Language,
    Greeting,
    Password,
    Licence,
    Readme,
    MustUninstall,
    Folder,
    StartMenu,
};

enum class PageAnswer { Next, Cancel };

PageAnswer ShowWizardPage(WizardPage page, std::u16string_view text = {});

}  // namespace palisade
