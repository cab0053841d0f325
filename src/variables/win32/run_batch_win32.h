// Runs an author's batch commands through the system's command interpreter,
// with the installer's values defined, and copies its output into the run log.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "log/run_log.h"
#include "variables/batch_text.h"

namespace palisade {

// What a batch needs from the run around it.
struct BatchContext {
    bool automatic = false;
    bool silent = false;
    // The running system's version (platform 1 is Windows 9x, 2 is NT).
    std::uint32_t osPlatformId = 2;
    std::uint32_t osMajor = 0;
    std::uint32_t osMinor = 0;
    VariableExpander expand;  // required: the installer's variable expansion
    RunLog* log = nullptr;  // null: the process-wide run log
    // Shows an error text to the user; when empty a plain error box is used.
    std::function<void(std::u16string_view text)> showError;
};

// False when the interpreter is missing, the batch file cannot be written or
// the interpreter cannot be started; true otherwise, whatever the batch's exit
// code (and for empty commands, which run nothing). `commands` and `title`
// are Windows-1252 text; with a title the batch's output goes to the log.
bool RunBatch(std::string_view commands, bool hidden, std::optional<std::string_view> title,
              const BatchContext& context);

// The command interpreter: command.com in the Windows folder on Windows 9x,
// else cmd.exe in the 32-bit system folder (never %comspec%).
std::u16string FindCommandInterpreter(const BatchContext& context);

}  // namespace palisade
