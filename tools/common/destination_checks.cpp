// Destinations an author rarely means.
#include "common/destination_checks.h"

#include <algorithm>
#include <cctype>

#include "core/text.h"

namespace palisade::tools {

namespace {

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::vector<std::u16string_view> Components(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// "NUL", "nul.txt", "COM1 .log", "CON:", "CONIN$": Windows opens the device,
// whatever the folder, the extension or a stream name.
bool IsDeviceName(std::u16string_view component) {
    std::u16string_view stem = component.substr(0, component.find_first_of(u".:"));
    while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
    std::string upper = Utf16ToUtf8(std::u16string(stem));
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return char(std::toupper(static_cast<unsigned char>(c))); });
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    if (std::find(std::begin(kNames), std::end(kNames), upper) != std::end(kNames)) return true;
    bool port = upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0);
    return port && upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::u16string EffectiveDestination(std::u16string_view destinationOverride, std::u16string_view name) {
    if (destinationOverride.empty()) return std::u16string(name);
    if (destinationOverride.back() == u'\\') return std::u16string(destinationOverride) + std::u16string(name);
    return std::u16string(destinationOverride);
}

std::vector<std::string> UnusualDestination(std::u16string_view path) {
    std::vector<std::string> reasons;
    bool drive = path.size() >= 2 && IsLetter(path[0]) && path[1] == u':';
    if (drive && (path.size() == 2 || !IsSeparator(path[2]))) {
        reasons.push_back("is drive-relative (a drive letter and a colon without a backslash after it)");
    }
    bool absolute = (drive && path.size() > 2 && IsSeparator(path[2])) || (!path.empty() && IsSeparator(path[0]));
    std::u16string_view rest = drive ? path.substr(2) : path;
    std::vector<std::u16string_view> components = Components(rest);
    // A leading variable (%InstallDir%, %SystemDir%) is the folder a climb is measured from.
    bool variable = !components.empty() && components.front().size() > 1 && components.front().front() == u'%' &&
                    components.front().back() == u'%';
    if (variable) components.erase(components.begin());
    int depth = 0;
    bool climbs = false, stream = false, device = false;
    for (std::u16string_view component : components) {
        if (component == u"..") {
            climbs = climbs || (!absolute && --depth < 0);
        } else if (component != u".") {
            ++depth;
        }
        stream = stream || component.find(u':') != std::u16string_view::npos;
        device = device || IsDeviceName(component);
    }
    if (climbs) reasons.push_back("climbs out of the folder it is placed in (..)");
    if (stream) reasons.push_back("names an alternate data stream (a colon in a name)");
    if (device) reasons.push_back("names a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9), whatever its extension");
    return reasons;
}

}  // namespace palisade::tools
