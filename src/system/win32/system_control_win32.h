// Small requests to the system shared by the installer and the uninstaller:
// the administrator test, starting a program, restarting the computer.
#pragma once

#include <string_view>

namespace palisade {

// The process runs with the Administrators group enabled in its token.
bool ProcessIsAdministrator();

// Starts `commandLine` as a new process without waiting; false when it
// cannot be started (the system's last error tells why).
bool StartProgram(std::u16string_view commandLine);

// Enables the shutdown privilege and asks the system to restart.
void RestartComputer();

}  // namespace palisade
