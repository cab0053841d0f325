// The parents of a removed registry key that the uninstaller may delete when
// empty: never a root or a top-level branch, deepest first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall/empty_parent_keys.h"

namespace palisade {
namespace {

std::vector<std::u16string> ParentsOf(const char16_t* notation) {
    std::vector<std::u16string> names;
    std::optional<RegistryPath> key = ParseRegistryPath(notation);
    if (!key) return {u"<unparsed>"};
    for (const RegistryPath& parent : ParentKeysToTry(*key)) names.push_back(parent.subKey);
    return names;
}

struct ParentCase {
    const char16_t* key;
    std::vector<std::u16string> parents;
};

TEST(EmptyParentKeys, StopsBelowTheTopLevelBranchOfEachRoot) {
    const std::vector<ParentCase> cases = {
        {u"\\HKLM\\Software\\Acme\\Tool\\Empty", {u"Software\\Acme\\Tool", u"Software\\Acme"}},
        {u"\\HKCU\\Software\\Acme", {}},
        {u"\\HKAU\\Software\\Acme\\Every", {u"Software\\Acme"}},
        {u"\\HKCR\\.ext\\OpenWithProgids", {u".ext"}},
        {u"\\HKU\\S-1-5-21\\Software\\Acme\\X", {u"S-1-5-21\\Software\\Acme"}},
        {u"\\HKLM\\Software", {}},  // itself refused: nothing above it either
    };
    for (const ParentCase& c : cases) {
        EXPECT_EQ(ParentsOf(c.key), c.parents) << std::string(c.key, c.key + std::char_traits<char16_t>::length(c.key));
    }
}

TEST(EmptyParentKeys, KeepsTheRootAndAtMostTwentyLevels) {
    std::u16string deep = u"\\HKCU\\Software";
    for (int i = 0; i < 30; ++i) deep += u"\\L" + std::u16string(1, char16_t(u'a' + i % 26));
    std::optional<RegistryPath> key = ParseRegistryPath(deep);
    ASSERT_TRUE(key);
    std::vector<RegistryPath> parents = ParentKeysToTry(*key);
    ASSERT_EQ(parents.size(), 20u);
    EXPECT_EQ(parents.front().root, KeyRoot::CurrentUser);
    EXPECT_EQ(parents.front().subKey.size(), key->subKey.size() - 3);  // one "\Lx" shorter
}

}  // namespace
}  // namespace palisade
