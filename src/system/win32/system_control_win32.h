// Small requests to the system shared by the installer and the uninstaller:
// the administrator test, starting a program, restarting the computer.
#pragma once

#include <string_view>

#include "core/win32/win32_status.h"

namespace palisade {

// The process runs with the Administrators group enabled in its token.
bool ProcessIsAdministrator();

// Starts an author's or a caller's `commandLine` as a new process without
// waiting, its program path quoted (QuoteProgramOfCommand); the status of the start.
Win32Status StartProgram(std::u16string_view commandLine);

// Enables the shutdown privilege and asks the system to restart.
void RestartComputer();

}  // namespace palisade
