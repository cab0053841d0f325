// Parsing and writing the registry path notation.
#include "actions/registry_path.h"

#include "core/text.h"

namespace palisade {
namespace {

struct RootNames {
    KeyRoot root;
    std::u16string_view shortName;
    std::u16string_view longName;  // empty when the root has none
};

constexpr RootNames kRoots[] = {
    {KeyRoot::LocalMachine, u"HKLM", u"HKEY_LOCAL_MACHINE"},
    {KeyRoot::CurrentUser, u"HKCU", u"HKEY_CURRENT_USER"},
    {KeyRoot::ClassesRoot, u"HKCR", u"HKEY_CLASSES_ROOT"},
    {KeyRoot::Users, u"HKU", u"HKEY_USERS"},
    {KeyRoot::CurrentConfig, u"HKCC", u"HKEY_CURRENT_CONFIG"},
    {KeyRoot::DynData, u"HKDD", u"HKEY_DYN_DATA"},
    {KeyRoot::AllUsers, u"HKAU", u""},
};

std::optional<KeyRoot> RootByName(std::u16string_view name) {
    if (name.empty()) return std::nullopt;
    for (const RootNames& names : kRoots) {
        if (EqualsIgnoreCase(name, names.shortName)) return names.root;
        if (!names.longName.empty() && EqualsIgnoreCase(name, names.longName)) return names.root;
    }
    return std::nullopt;
}

}  // namespace

std::optional<RegistryPath> ParseRegistryPath(std::u16string_view text) {
    if (!text.empty() && text.front() == u'\\') text.remove_prefix(1);
    std::size_t slash = text.find(u'\\');
    std::optional<KeyRoot> root = RootByName(text.substr(0, slash));
    if (!root) return std::nullopt;
    std::u16string_view sub = slash == std::u16string_view::npos ? std::u16string_view() : text.substr(slash + 1);
    while (!sub.empty() && sub.back() == u'\\') sub.remove_suffix(1);
    if (!sub.empty() && (sub.front() == u'\\' || sub.find(u"\\\\") != std::u16string_view::npos)) return std::nullopt;
    return RegistryPath{*root, std::u16string(sub)};
}

std::u16string_view KeyRootName(KeyRoot root) {
    for (const RootNames& names : kRoots) {
        if (names.root == root) return names.shortName;
    }
    return u"HKLM";
}

std::u16string RegistryPathNotation(const RegistryPath& path) {
    std::u16string text = u"\\";
    text.append(KeyRootName(path.root));
    if (!path.subKey.empty()) text += u"\\" + path.subKey;
    return text;
}

}  // namespace palisade
