// The placeholders of a notification address (%version%, %Session%, %OS% ...)
// and the percent-encoding of the values put into it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "variables/os_version_info.h"

namespace palisade {

// Percent-encodes UTF-8 bytes for an address: letters, digits and "-._~" stay,
// every other byte becomes "%" and two upper-case hex digits.
std::string PercentEncode(std::string_view utf8);

// Trims blanks from both ends of the address and replaces, in this order and
// ignoring case: %version% (encoded), %Session% (hex), %OS%, %OSMajor%,
// %OSMinor%, %OSName% (encoded), %OSDescription% (encoded), %OSServer%.
// No environment-variable expansion follows.
std::string NotifyPlaceholders(std::string_view address, std::u16string_view productVersion,
                               std::uint64_t session, const OsVersionInfo& os);

}  // namespace palisade
