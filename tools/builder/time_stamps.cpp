// Item time stamps: a source file's modification time, or one written in the project file.
#include "builder/time_stamps.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace palisade::tools {

namespace {

FileTimeStamp FromBrokenDown(const std::tm& utc) {
    FileTimeStamp stamp;
    stamp.year = utc.tm_year + 1900;
    stamp.month = utc.tm_mon + 1;
    stamp.day = utc.tm_mday;
    stamp.hour = utc.tm_hour;
    stamp.minute = utc.tm_min;
    stamp.second = utc.tm_sec;
    return stamp;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1601 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

// Moves a stamp by a whole number of minutes (to apply a UTC offset), through
// the calendar, without the local time zone.
FileTimeStamp ShiftMinutes(const FileTimeStamp& stamp, int minutes) {
    std::tm broken{};
    broken.tm_year = stamp.year - 1900;
    broken.tm_mon = stamp.month - 1;
    broken.tm_mday = stamp.day;
    broken.tm_hour = stamp.hour;
    broken.tm_min = stamp.minute + minutes;
    broken.tm_sec = stamp.second;
    std::time_t seconds = timegm(&broken);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    return FromBrokenDown(utc);
}

std::int64_t EpochSeconds(const FileTimeStamp& stamp) {
    std::tm broken{};
    broken.tm_year = stamp.year - 1900;
    broken.tm_mon = stamp.month - 1;
    broken.tm_mday = stamp.day;
    broken.tm_hour = stamp.hour;
    broken.tm_min = stamp.minute;
    broken.tm_sec = stamp.second;
    return std::int64_t(timegm(&broken));
}

}  // namespace

SourceDateEpoch ParseSourceDateEpoch(const char* value) {
    SourceDateEpoch epoch;
    if (!value || *value == '\0') return epoch;
    std::string text = value;
    // Digits only: no sign, no blanks, and at most 11 of them (beyond the year 5000).
    bool digits = text.size() <= 11 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
        epoch.error = "SOURCE_DATE_EPOCH must be a whole number of seconds since 1970, not '" + text + "'";
        return epoch;
    }
    epoch.seconds = std::stoll(text);
    return epoch;
}

SourceDateEpoch SourceDateEpochFromEnvironment() { return ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH")); }

FileTimeStamp TimeStampFromEpoch(std::int64_t seconds) {
    std::time_t time = std::time_t(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    return FromBrokenDown(utc);
}

FileTimeStamp ClampTimeStamp(const FileTimeStamp& stamp, std::int64_t epoch) {
    if (!stamp.IsComplete() || EpochSeconds(stamp) <= epoch) return stamp;
    return TimeStampFromEpoch(epoch);
}

std::optional<FileTimeStamp> ModificationTimeUtc(const std::filesystem::path& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    std::tm utc{};
    if (!gmtime_r(&info.st_mtime, &utc)) return std::nullopt;
    return FromBrokenDown(utc);
}

FileTimeStamp NoTimeStamp() { return FileTimeStamp{}; }

std::optional<FileTimeStamp> ParseTimeStamp(const std::string& text) {
    if (text == "none") return NoTimeStamp();
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &consumed) != 3 || consumed != 10) {
        return std::nullopt;
    }
    if (!IsValidDate(year, month, day)) return std::nullopt;
    FileTimeStamp stamp;
    stamp.year = year;
    stamp.month = month;
    stamp.day = day;
    if (text.size() == 10) return stamp;  // a date without a time
    const char* rest = text.c_str() + 10;
    if ((*rest != ' ' && *rest != 'T' && *rest != 't') ||
        std::sscanf(rest + 1, "%2d:%2d:%2d%n", &hour, &minute, &second, &consumed) != 3 || consumed != 8) {
        return std::nullopt;
    }
    if (hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0) return std::nullopt;
    stamp.hour = hour;
    stamp.minute = minute;
    stamp.second = second;
    std::string zone(rest + 9);
    if (zone.empty() || zone == "Z" || zone == "z") return stamp;
    int offsetHours = 0, offsetMinutes = 0;
    if ((zone[0] != '+' && zone[0] != '-') || zone.size() != 6 ||
        std::sscanf(zone.c_str() + 1, "%2d:%2d%n", &offsetHours, &offsetMinutes, &consumed) != 2 || consumed != 5 ||
        offsetHours > 23 || offsetMinutes > 59) {
        return std::nullopt;
    }
    int offset = offsetHours * 60 + offsetMinutes;
    return ShiftMinutes(stamp, zone[0] == '+' ? -offset : offset);
}

std::string TimeStampText(const FileTimeStamp& stamp) {
    char text[64];
    if (!stamp.HasDate()) return stamp.HasTime() ? "no date" : "none";
    if (!stamp.HasTime()) {
        std::snprintf(text, sizeof text, "%d/%02d/%02d", stamp.year, stamp.month, stamp.day);
    } else {
        std::snprintf(text, sizeof text, "%d/%02d/%02d %02d:%02d:%02d", stamp.year, stamp.month, stamp.day, stamp.hour,
                      stamp.minute, stamp.second);
    }
    return text;
}

}  // namespace palisade::tools
