// The texts of component registration: progress texts, run-log lines, failure
// entries and the uninstall records for MSI packages and driver INF files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace palisade {


// Message 77 with every "<file>" replaced by `item`.
std::u16string ComponentProgressText(std::u16string_view message77, std::u16string_view item);

// --- Fonts ---
// The key under HKEY_LOCAL_MACHINE that lists the installed fonts.
std::u16string_view FontsRegistryKey(bool windows9x);

// --- MSI packages ---
// The interface level a package runs with: 2 (basic) when silent, else the entry's.
std::int32_t EffectiveMsiUiLevel(std::optional<std::int32_t> entryLevel, bool silent);
std::u16string MsiStartLine(std::u16string_view packagePath);
inline constexpr char16_t kOkLine[] = u"OK\r\n";
// "FAILED code R: text\r\n", R in signed decimal.
std::u16string MsiFailureLine(std::int32_t result, std::u16string_view systemText);
// One line of the "[MSI]" section: "\"path\",level\r\n" with the path in the
// program's narrow form.
std::string MsiRecordLine(std::u16string_view packagePath, std::int32_t level);

// --- Control panel applets ---
// The entry's info (UTF-8) when not blank, else the destination's file name
// without its extension. May be empty (a malformed entry).
std::u16string AppletDisplayName(std::string_view info, std::u16string_view destination);
// "Control Panel extension \"N\"": the item shown by the progress text.
std::u16string AppletProgressItem(std::u16string_view displayName);
std::u16string AppletStartLine(std::u16string_view displayName);
// The "Shell\Open\Command" default value: the quoted applet, then a blank and
// the arguments when there are any.
std::u16string AppletOpenCommand(std::u16string_view destination, std::u16string_view arguments);
// The applet keys below HKEY_LOCAL_MACHINE.
std::u16string AppletClassKey(std::u16string_view clsid);
std::u16string AppletNameSpaceKey(std::u16string_view clsid);
// A key below HKEY_LOCAL_MACHINE as the uninstall list records it: "\HKLM\" + sub-key.
std::u16string LocalMachineKeyNotation(std::u16string_view subKey);
// "FAILED!\r\n" + text + "\r\n\r\n".
std::u16string AppletFailureLine(std::u16string_view systemText);

// --- COM servers and type libraries ---
// regsvr32's arguments: silent, unregistering when asked, the server quoted.
std::u16string RegsvrArguments(std::u16string_view serverPath, bool unregister);
std::u16string ComStartLine(std::u16string_view serverPath);
// "OK\r\n" for 0, else "FAILED, code %d\r\n".
std::u16string ComResultLine(std::int32_t result);
inline constexpr char16_t kCrashedLine[] = u"CRASHED!\r\n";
// Failure entries for a registration that faulted; `path` is reduced to its file name.
std::u16string ComCrashFailure(std::u16string_view path);
std::u16string TypeLibraryStartLine(std::u16string_view libraryPath);
// "FAILED\r\n" + text + "\r\n\r\n".
std::u16string TypeLibraryFailureLine(std::u16string_view systemText);
std::u16string TypeLibraryCrashFailure(std::u16string_view path);

// --- Driver INF files ---
inline constexpr char16_t kNoSetupApiLine[] = u"Cannot install INF files...unable to open Setupapi.dll\r\n";
inline constexpr char16_t kNoCopyOemInfLine[] = u"Cannot install INF files...unable to link to SetupCopyOEMInf()\r\n";
inline constexpr char16_t kDriverLocationUnknownLine[] = u"OK, but resulting filepath is unknown\r\n";
inline constexpr std::uint32_t kNoCatalogForOemInf = 0xE000022F;
std::u16string DriverStartLine(std::u16string_view infPath);
std::u16string DriverSuccessLine(std::u16string_view finalInfPath);
// "FAILED!  Code E: text\r\n"; an INF without a catalog gets its own sentence
// when the system has no text for the code.
std::u16string DriverFailureLine(std::uint32_t error, std::u16string_view systemText);
// One line of the "[INF]" section: the final path in the program's narrow form.
std::string DriverRecordLine(std::u16string_view finalInfPath);

}  // namespace palisade
