// What a notification sends: a GET of the event's address (value 0), or a
// POST of the "problems" form with the installation log (value 1).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/http_request.h"

namespace palisade {

// The values the notifications of a run carry.
struct NotificationFacts {
    std::u16string productName;
    std::u16string productVersion;
    std::u16string osDescription;  // the full description of the system
    std::u16string ownPath;        // the program's own path
};

// The "problems" field in UTF-8: product name, " ", version, "\r\nInstaller
// version: 44.0.1\r\nOS: ", the system's description, CR LF, the own path,
// CR LF, then `logText` (UTF-8, the whole installation log).
std::string ProblemsText(const NotificationFacts& facts, std::string_view logText);

// The request for an address whose placeholders are already replaced; nothing
// when the address is not a well-formed http: or https: address.
std::optional<HttpRequest> NotificationRequest(std::string_view address, int value, const std::string& problems);

}  // namespace palisade
