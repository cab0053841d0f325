// Process-wide state set at start and read by every later step.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_line_options.h"
#include "core/run_outcome.h"

namespace palisade {

struct InstallerProcess {
    std::u16string caption;  // the application caption
    HINSTANCE instance = nullptr;
    std::int64_t startTime = 0;
    CommandLineOptions options;
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    std::vector<RECT> monitorWorkAreas;
    bool oleInitialised = false;
    // For a 64-bit-only product: whether file-system redirection was switched off.
    bool wow64RedirectionOff = false;
    // Message lookup of the catalogue; empty until the settings are read, and
    // then message(i) is empty for a number the catalogue does not hold.
    std::function<std::u16string(int)> message;
    // The fatal path's box (text, caption) once the wizard can show its own;
    // until then the system's message box shows fatal messages.
    std::function<void(std::u16string_view, std::u16string_view)> fatalMessageBox;
    // Called by the orderly exit before the process ends (the wizard closes
    // its background window there).
    std::function<void()> beforeExit;
    // With the author's opt-in, the exit code says how the run ended
    // (0, 3010, 1602, 1603) instead of the format's fixed code.
    bool deploymentExitCodes = false;
    RunOutcome outcome = RunOutcome::Undecided;
    // Called by the orderly exit after the windows are gone: the notification
    // worker finishes its queue there (for a bounded time).
    std::function<void()> finishNotifications;
    // Called by FatalError with its message before it is shown: the
    // installation writes it into its log and sends the error notification.
    std::function<void(std::u16string_view)> onFatalError;
};

InstallerProcess& Process();

}  // namespace palisade
