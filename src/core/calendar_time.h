// A calendar date with the time of day to the second: the one form in which
// the program keeps dates (build date, file stamps, log headers, deletion
// dates). Month 0 means "no date".
#pragma once

#include <tuple>

namespace palisade {

struct CalendarTime {
    int year = 0;
    int month = 0;  // 1..12; 0: no date
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool HasDate() const { return month != 0; }
    auto Tied() const { return std::tie(year, month, day, hour, minute, second); }
    bool operator==(const CalendarTime& other) const { return Tied() == other.Tied(); }
    bool operator!=(const CalendarTime& other) const { return !(*this == other); }
    bool operator<(const CalendarTime& other) const { return Tied() < other.Tied(); }
};

}  // namespace palisade
