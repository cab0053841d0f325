// Item time stamps: a source file's modification time, or one written in the project file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "payload/file_entry.h"

namespace palisade::tools {

// The file's last modification time in UTC, whole seconds.
std::optional<FileTimeStamp> ModificationTimeUtc(const std::filesystem::path& path);

// SOURCE_DATE_EPOCH as the reproducible-builds convention defines it: a
// decimal count of seconds since 1970-01-01 00:00:00 UTC.
struct SourceDateEpoch {
    std::optional<std::int64_t> seconds;  // nothing when the variable is unset or empty
    std::string error;                    // not empty when it is set but malformed
};
SourceDateEpoch ParseSourceDateEpoch(const char* value);
SourceDateEpoch SourceDateEpochFromEnvironment();

// The stamp of `seconds` since 1970 in UTC.
FileTimeStamp TimeStampFromEpoch(std::int64_t seconds);

// A complete stamp later than `epoch` becomes `epoch`; any other stays as it is.
FileTimeStamp ClampTimeStamp(const FileTimeStamp& stamp, std::int64_t epoch);

// A stamp with neither date nor time: the installer then writes the file
// without setting its time and treats it as newer in date comparisons.
FileTimeStamp NoTimeStamp();

// "2024-05-01 12:30:00", "2024-05-01T12:30:00Z" (an offset is turned into UTC),
// "2024-05-01" (a date without a time) or "none". Nothing when not of these forms
// or when a field is out of range.
std::optional<FileTimeStamp> ParseTimeStamp(const std::string& text);

// The installer's text form, "%d/%02d/%02d %02d:%02d:%02d", or "none" / the
// date alone for stamps without date or time.
std::string TimeStampText(const FileTimeStamp& stamp);

}  // namespace palisade::tools
