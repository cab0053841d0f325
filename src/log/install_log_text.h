// The bytes of Install.log: the header of a run, its section appended to the
// file, and the conversion of logs written before the file became UTF-8.
#pragma once

#include "core/calendar_time.h"

#include <optional>
#include <string>
#include <string_view>

namespace palisade {

inline constexpr char16_t kInstallLogFileName[] = u"Install.log";
inline constexpr char16_t kInstallerVersionText[] = u"44.0.1";
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
// Put between two runs' sections: two line breaks and 46 asterisks.
inline constexpr char kRunSeparator[] = "\r\n\r\n**********************************************\r\n";
inline constexpr char kFailureSummaryTitle[] = "*** FAILURE SUMMARY ***\r\n";

// The facts that identify one installation at the top of its section.
struct InstallLogHeader {
    std::u16string productName;
    CalendarTime installTime;  // local time
    // The settings look for an existing installation: the install type line
    // is written, with `existingInstall` 0 new, 1 reinstall, 2 upgrade, 3 downgrade.
    bool looksForExistingInstall = false;
    int existingInstall = 0;
    std::u16string installFolder;
    // The settings' build date; a month of 0 means the settings carry none.
    CalendarTime buildDate;
    std::u16string productVersion;
    std::u16string overwrittenVersion;
    std::u16string osDescription;  // the long system description
};

// One run's contribution to the file.
struct InstallLogSection {
    InstallLogHeader header;
    std::string_view runLog;         // UTF-8, as collected during the run
    std::u16string_view failures;    // empty when the installation succeeded
    std::u16string_view successText; // message 43 of the catalogue
};

// "New", "Reinstall", "Upgrade", "Downgrade"; other values in decimal.
std::u16string InstallTypeWord(int existingInstall);

// The header lines, each ended by CR LF, the last followed by an empty line.
std::u16string FormatInstallLogHeader(const InstallLogHeader& header);

// Install.log is written when the settings keep a log or something failed.
bool ShouldWriteInstallLog(bool keepLogSetting, std::u16string_view failures);

bool StartsWithByteOrderMark(std::string_view content);

// An existing log without the byte-order mark was written in Windows-1252:
// its UTF-8 form with the mark. Nothing to do for an empty or UTF-8 file.
std::optional<std::string> ConvertLegacyLog(std::string_view existing);

// The bytes appended at the end of a file that is empty (`fileEmpty`) or
// already holds earlier runs in UTF-8.
std::string InstallLogSectionBytes(bool fileEmpty, const InstallLogSection& section);

// The whole file after this run: `existing` converted when needed, then the
// new section.
// The run's part of the log as the error notification sends it: the run log,
// then the failure summary when something failed (UTF-8).
std::string RunLogReportText(std::string_view runLog, std::u16string_view failures);

std::string ComposeInstallLog(std::string_view existing, const InstallLogSection& section);

}  // namespace palisade
