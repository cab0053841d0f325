// Everything an installation step reads and changes: the settings, the run
// state, the system facts, the log, the records and the progress page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/progress.h"
#include "log/install_log.h"
#include "log/installation_record.h"
#include "payload/settings.h"
#include "variables/expand_variables.h"
#include "variables/installation_state.h"
#include "variables/system_facts.h"

namespace palisade {

struct InstallContext {
    InstallerSettings& settings;   // the flag words change during the run (restart required)
    std::uint32_t& payloadFlags;   // the restore-point bit is cleared when none was opened
    InstallationState& state;
    SystemFacts& facts;
    InstallLog& log;
    InstallationRecord& record;
    ProgressReporter& progress;
    bool silent = false;

    // Message `n` of the catalogue in the chosen language.
    const std::u16string& Message(int n) const { return settings.messageCatalogue.Message(n); }
    std::u16string Expand(std::u16string_view text) const { return ExpandVariables(text, state, facts); }
    bool Flag1(std::uint32_t bit) const { return (settings.settingsFlags1 & bit) != 0; }
    bool Flag2(std::uint32_t bit) const { return (settings.settingsFlags2 & bit) != 0; }
    bool Payload(std::uint32_t bit) const { return (payloadFlags & bit) != 0; }
};

}  // namespace palisade
