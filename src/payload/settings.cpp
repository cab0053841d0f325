// Comparisons of the settings' small records and the parsing of the dialog font setting.
#include "payload/settings.h"

#include <optional>

#include "core/text.h"

namespace palisade {

bool operator==(const ShortcutPlacements& a, const ShortcutPlacements& b) {
    return a.forFlag1 == b.forFlag1 && a.forFlag2 == b.forFlag2 && a.forKind5 == b.forKind5 &&
           a.forUninstaller == b.forUninstaller;
}

bool operator==(const MinimumSystemVersion& a, const MinimumSystemVersion& b) {
    return a.major == b.major && a.minor == b.minor && a.build == b.build && a.platformId == b.platformId &&
           a.servicePackMajor == b.servicePackMajor && a.servicePackMinor == b.servicePackMinor;
}

bool operator==(const FileDeletion& a, const FileDeletion& b) {
    return a.pathPattern == b.pathPattern && a.condition == b.condition && a.reference == b.reference &&
           a.flags == b.flags;
}

bool operator==(const FileAssociation& a, const FileAssociation& b) {
    return a.mode == b.mode && a.extension == b.extension && a.progId == b.progId && a.verbs == b.verbs &&
           a.icon == b.icon && a.spareText == b.spareText && a.description == b.description &&
           a.command == b.command && a.verbLabel == b.verbLabel;
}

bool operator==(const AuthorShortcut& a, const AuthorShortcut& b) {
    return a.name == b.name && a.description == b.description && a.target == b.target &&
           a.arguments == b.arguments && a.folder == b.folder && a.status == b.status &&
           a.placements == b.placements && a.showCommand == b.showCommand && a.startIn == b.startIn &&
           a.iconIndex == b.iconIndex && a.flags == b.flags;
}

bool operator==(const UninstallValue& a, const UninstallValue& b) {
    return a.name == b.name && a.type == b.type && a.value == b.value;
}

bool operator==(const AutoCloseEntry& a, const AutoCloseEntry& b) {
    return a.classPattern == b.classPattern && a.titlePattern == b.titlePattern &&
           a.applicationName == b.applicationName && a.action == b.action && a.phaseMask == b.phaseMask;
}

namespace {
std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A whole number of points, 1..1000; anything else is not a size.
std::optional<std::uint16_t> ParsePoints(std::u16string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + unsigned(c - u'0');
    }
    if (value == 0 || value > 1000) return std::nullopt;
    return std::uint16_t(value);
}
}  // namespace

DialogFontSpec ParseDialogFont(std::u16string_view text) {
    DialogFontSpec font;
    std::size_t comma = text.rfind(u',');
    if (comma != text.npos) {
        if (auto points = ParsePoints(Trim(text.substr(comma + 1)))) {
            font.points = *points;
            text = text.substr(0, comma);
        }
    }
    font.face = std::u16string(Trim(text));
    return font;
}

}  // namespace palisade
