// The start-menu name rule and the password comparison.
#include "ui/entry_rules.h"

namespace palisade {

bool IsValidStartMenuName(std::u16string_view name) {
    if (name.find_first_of(u"/\"<>|*?:;") != name.npos) return false;
    if (!name.empty() && name.front() == u'\\') return false;
    return name.find(u"\\\\") == name.npos;
}

bool PasswordMatches(std::u16string_view entered, std::u16string_view stored) { return entered == stored; }

}  // namespace palisade
