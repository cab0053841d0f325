// The Windows side of the installation log: the debugger copy of the run log,
// failure entries with the system's error texts, and the Install.log file.
#pragma once

#include <string>
#include <string_view>

#include "core/win32/win32_status.h"
#include "log/failure_list.h"
#include "log/install_log_text.h"
#include "log/run_log.h"

namespace palisade {

// From now on every append to `log` is also written to the debugger channel.
void ConnectRunLogToDebugger(RunLog& log);

// Appends a failure entry for `item` to `list` under `heading` (message 31 of
// the catalogue), with the system's texts for `error` unless it is success.
void LogFailure(FailureList& list, std::u16string_view heading, std::u16string_view item, Win32Status error);

// The error's text in the user's language and in English (language 1033).
ErrorTexts SystemErrorTexts(std::uint32_t code);

// `folder` joined with "Install.log".
std::u16string InstallLogPath(std::u16string_view uninstallDataFolder);

// Appends the run's section to the log at `path`, converting an old
// Windows-1252 log first; afterwards the file is a normal file that everyone
// may change. False when the file cannot be opened (nothing is written then).
bool WriteInstallLogFile(const std::u16string& path, const InstallLogSection& section);

// Opens the log with its associated program, else through the association
// found for it, else in Notepad.
void ViewInstallLog(const std::u16string& path);

}  // namespace palisade
