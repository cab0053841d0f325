// Closing the running windows that the applications-to-close list names: the
// walk over the desktop's top-level windows, and the installer's and the
// uninstaller's passes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "payload/settings.h"
#include "system/auto_close.h"
#include "variables/install_context.h"

namespace palisade {

// What the walk needs from the side of the program it runs in.
struct CloseApplicationsSide {
    bool silent = false;                          // ask entries do nothing
    std::function<std::u16string(int)> message;   // catalogue text by number
    // The catalogue's placeholder substitution for the question once the
    // application name is in it; empty when the side's texts need none.
    std::function<std::u16string(std::u16string_view)> substitutePlaceholders;
    AutoCloseMessages messages = kInstallerAutoCloseMessages;
};

// Applies the list to every top-level window of the desktop at `phase`
// (1, 2 or 4). Does nothing for an empty list. Ends the process with exit
// code 1 when the user cancels an ask question.
void CloseMatchingWindows(const std::vector<AutoCloseEntry>& entries, int phase, const CloseApplicationsSide& side);

// The installer's pass before anything is installed: closes what the list
// names for phase 1, lets the installer's own windows settle and brings its
// main window back to the front. Does nothing when the list is empty. (Which
// entries travel to the uninstaller is decided where Uninstall.DAT is
// composed.)
void CloseApplicationsBeforeInstalling(InstallContext& context);

// The uninstaller's pass at `phase` over the "[AutoClose]" rows of its data,
// with its messages (their placeholders already replaced).
void CloseApplicationsInUninstaller(const std::vector<std::string>& autoCloseRows, int phase, bool silent,
                                    std::function<std::u16string(int)> message);

}  // namespace palisade
