// The start-menu name rule and the password comparison.
#include "ui/entry_rules.h"

#include "core/text.h"

namespace palisade {

bool IsValidStartMenuName(std::u16string_view name) {
    if (name.find_first_of(u"/\"<>|*?:;") != name.npos) return false;
    if (!name.empty() && name.front() == u'\\') return false;
    return name.find(u"\\\\") == name.npos;
}

std::optional<std::u16string> StartMenuNameOf(std::u16string_view picked, std::u16string_view programsFolder) {
    while (!programsFolder.empty() && programsFolder.back() == u'\\') programsFolder.remove_suffix(1);
    while (!picked.empty() && picked.back() == u'\\') picked.remove_suffix(1);
    if (programsFolder.empty() || !StartsWithIgnoreCase(picked, programsFolder)) return std::nullopt;
    std::u16string_view rest = picked.substr(programsFolder.size());
    if (rest.empty()) return std::u16string();
    if (rest.front() != u'\\') return std::nullopt;  // "Programs2" is not below "Programs"
    return std::u16string(rest.substr(1));
}

bool PasswordMatches(std::u16string_view entered, std::u16string_view stored) { return entered == stored; }

}  // namespace palisade
