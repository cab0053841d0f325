// The built-in texts of the fatal path, used before (or instead of) the
// message catalogue.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palisade {

inline constexpr char16_t kApplicationCaption[] = u"Palisade Setup";
inline constexpr char16_t kDefaultErrorCaption[] = u"Error";

inline constexpr char16_t kCorruptInstallerText[] =
    u"This installation program is corrupt.  This is usually caused by a faulty download, but it "
    u"can also be caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
    u"Delete the corrupted installer (to prevent caching), then re-download it.  If the problem "
    u"persists, check your system for viruses.\r\n\r\nError code: %d";

inline constexpr char16_t kSystemErrorSuffix[] = u"\r\nSystem error, code %s: %s";

inline constexpr char16_t kNoInstallationDataText[] =
    u"This program performs installations and uninstallations.\r\nThere is no installation data "
    u"present.\r\nNo uninstallation parameters were specified.\r\n\r\nYou should not delete this "
    u"program or execute it directly.";

inline constexpr char16_t kCannotOpenSelfText[] =
    u"Error code 1: The installer could not open itself.\r\nFilename: %s\r\nError #%d: %s";

inline constexpr char16_t kOutOfMemoryText[] =
    u"%s.\r\nAdvice: %s\r\nRequested size = %zu (0x%08zX)\r\n\r\nStack contents:";
inline constexpr char16_t kOutOfMemoryAdvice[] = u"Make sure the hard drive is not full.";

inline constexpr char16_t kInternalErrorText[] = u"Internal Fatal Error\r\nModule: %s\r\nLine: %d";

inline constexpr char16_t kWow64RedirectionFailedText[] = u"Wow64DisableWow64FsRedirection() failed";

// Longest fatal message; longer results are cut.
inline constexpr std::size_t kMaxFatalMessageLength = 4096;

// "Error code: N" text with the optional system-error line. `codeTemplate` is
// message 13 of the catalogue, or empty for the built-in text. The system
// error number is rendered in decimal, or as 0x and eight hex digits when its
// top bit is set (HRESULT-style codes read better that way).
std::u16string FormatCorruptInstallerMessage(std::u16string_view codeTemplate, int code,
                                             std::uint32_t systemError,
                                             std::u16string_view systemMessage);

std::u16string RenderSystemErrorNumber(std::uint32_t error);

std::u16string TruncateFatalMessage(std::u16string text);

}  // namespace palisade
