// Conditional file deletions: the "[ConditionalDelete]" line that carries a
// deletion to the uninstaller, the reference date, and the test whether a
// matching file is deleted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/calendar_time.h"
#include "payload/settings.h"

namespace palisade {

// "pattern,condition,reference,flags" (narrow texts as stored in the
// settings, numbers in decimal), ended by CR LF. The pattern comes first and
// may itself hold commas; the last three fields never do, so the reader
// splits from the right.
std::string ConditionalDeleteLine(const FileDeletion& deletion);
std::optional<FileDeletion> ParseConditionalDeleteLine(std::string_view line);

// A point in time down to the second; `hasTime` false for a date alone.
struct DeletionDate : CalendarTime {
    bool hasTime = false;
};

// "YYYY-MM-DD" or "YYYY/MM/DD", optionally followed by a blank and
// "HH:MM" or "HH:MM:SS"; surrounding blanks allowed. nullopt for anything
// else or an impossible date (the run then ends with fatal error 65).
std::optional<DeletionDate> ParseDeletionDate(std::string_view text);

// The deletion compares dates (conditions 1..3) and its reference is no date
// ParseDeletionDate reads: the installer would stop on it with error 65.
bool HasUnreadableDate(const FileDeletion& deletion);

struct FileFacts {
    DeletionDate lastWrite;  // always with time
    std::uint64_t size = 0;
};

enum class DeletionVerdict { Delete, Keep, BadDate };

// Conditions 1..3 compare the file's last-write time with the reference at
// the reference's precision (a date alone compares days): 1 deletes when they
// are equal, 2 when the file is not older, 3 when it is not newer. Condition
// 4 deletes when the file's size equals the reference number (an unreadable
// number keeps the file). Any other condition deletes.
DeletionVerdict DecideDeletion(const FileDeletion& deletion, const FileFacts& file);

// The deletion applies at this point: flag 0x4 at installation, 0x8 at uninstallation.
bool AppliesAt(const FileDeletion& deletion, bool atInstall);

}  // namespace palisade
