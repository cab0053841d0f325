// The system's times as CalendarTime.
#include "core/win32/system_time.h"

namespace palisade {
namespace {

CalendarTime FromSystemTime(const SYSTEMTIME& time) {
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

}  // namespace

CalendarTime LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return FromSystemTime(now);
}

std::optional<CalendarTime> FromFileTime(const FILETIME& time) {
    SYSTEMTIME system{};
    if (!::FileTimeToSystemTime(&time, &system)) return std::nullopt;
    return FromSystemTime(system);
}

std::optional<FILETIME> ToFileTime(const CalendarTime& time) {
    SYSTEMTIME system{};
    system.wYear = WORD(time.year);
    system.wMonth = WORD(time.month);
    system.wDay = WORD(time.day);
    system.wHour = WORD(time.hour);
    system.wMinute = WORD(time.minute);
    system.wSecond = WORD(time.second);
    FILETIME fileTime{};
    if (!::SystemTimeToFileTime(&system, &fileTime)) return std::nullopt;
    return fileTime;
}

}  // namespace palisade
