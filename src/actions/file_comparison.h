// Ordering of version texts and of file time stamps, as the overwrite rules
// and the product-version checks use them.
#pragma once

#include <string>
#include <string_view>

#include "payload/file_entry.h"

namespace palisade {

// Negative, zero or positive as `a` is older than, equal to or newer than `b`.
// Each run of digits is one number, a period before the first number counts as
// a 0, everything else separates; a longer list is newer (1.2 < 1.2.0); with
// equal lists the last letter of each text decides (1.2 < 1.2a < 1.2b).
int CompareVersions(std::u16string_view a, std::u16string_view b);

// Negative, zero or positive as `a` is earlier than, equal to or later than
// `b`. A missing date or time ranks above any present one; times within one
// second of each other are equal.
int CompareTimeStamps(const FileTimeStamp& a, const FileTimeStamp& b);

// "year/month/day hour:minute:second", as the log sentences show a stamp.
std::u16string FormatTimeStamp(const FileTimeStamp& stamp);

}  // namespace palisade
