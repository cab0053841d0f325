// What a notification sends: a GET, or the "problems" form with the log.
#include "ui/notification_request.h"

#include "core/text.h"

namespace palisade {

std::string ProblemsText(const NotificationFacts& facts, std::string_view logText) {
    std::string text = Utf16ToUtf8(facts.productName);
    text += " ";
    text += Utf16ToUtf8(facts.productVersion);
    text += "\r\nInstaller version: 44.0.1\r\nOS: ";
    text += Utf16ToUtf8(facts.osDescription);
    text += "\r\n";
    text += Utf16ToUtf8(facts.ownPath);
    text += "\r\n";
    text += logText;
    return text;
}

std::optional<HttpRequest> NotificationRequest(std::string_view address, int value, const std::string& problems) {
    std::optional<HttpAddress> parsed = ParseHttpAddress(address);
    if (!parsed) return std::nullopt;
    if (value == 1) return FormPostRequest(*parsed, {{"problems", problems}});
    return GetRequest(*parsed);
}

}  // namespace palisade
