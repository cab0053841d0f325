// What the installer's command line asked for, kept for the whole run.
#pragma once

#include <string>

namespace palisade {

struct CommandLineOptions {
    bool automatic = false;
    bool silent = false;
    bool minimised = false;
    bool uninstall = false;
    std::u16string uninstallProductName;
    std::u16string installPathOverride;
    std::u16string productNameOverride;
    std::u16string programToRunOnExit;
    // Narrow, in the system's ANSI code page; CR LF separates commands.
    std::string batchAdditions[3];
};

}  // namespace palisade
