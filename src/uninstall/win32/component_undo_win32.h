// Undoing the installed components: fonts, COM servers and type libraries of
// shared files, MSI packages, driver INF files, firewall exceptions and
// taskbar pins. Every call into foreign code is guarded against faults.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "log/install_log.h"

namespace palisade {

// Asks the user whether one font goes; the uninstaller's message box.
using FontQuestion = std::function<bool(std::u16string_view face)>;

// Each font of "ProductFonts" that `decide` lets go leaves the session, the
// Fonts registry key and the Fonts folder (at restart when in use).
void RemoveFonts(std::u16string_view productFonts, std::uint32_t uninstallFonts, bool automaticOrSilent,
                 const FontQuestion& ask, InstallLog& log);

// "regsvr32.exe /s /u", falling back to the server's own DllUnregisterServer.
void UnregisterComServer(std::u16string_view path, InstallLog& log);
void UnregisterTypeLibrary(std::u16string_view path, InstallLog& log);

// "[MSI]" lines: each package removed with "REMOVE=ALL REBOOT=R".
void RemoveMsiPackages(const std::vector<std::string>& lines, InstallLog& log);

// "[INF]" lines (variables expanded by `expand`): SetupUninstallOEMInfW.
void RemoveDriverInfFiles(const std::vector<std::string>& lines,
                          const std::function<std::u16string(std::u16string_view)>& expand, InstallLog& log);

// "[Firewall]" lines: open ports and authorized programs taken out again.
void RemoveFirewallExceptions(const std::vector<std::string>& lines, InstallLog& log);

// The shell verb "taskbarunpin" on a pinned link.
void UnpinFromTaskbar(std::u16string_view link);

}  // namespace palisade
