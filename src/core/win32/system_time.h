// The system's times as CalendarTime: now, and a file time in UTC.
#pragma once

#include <windows.h>

#include <optional>

#include "core/calendar_time.h"

namespace palisade {

CalendarTime LocalNow();

// A FILETIME (UTC) to the second; none for a time the system cannot convert.
std::optional<CalendarTime> FromFileTime(const FILETIME& time);

// A complete CalendarTime (UTC) as a FILETIME; none when it is not a valid time.
std::optional<FILETIME> ToFileTime(const CalendarTime& time);

}  // namespace palisade
