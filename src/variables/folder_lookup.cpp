// The lookup chain behind most folder values and the path rules they share.
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::optional<std::u16string> NonEmpty(std::u16string text) {
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

std::u16string RemoveTrailingBackslash(std::u16string text) {
    if (text.size() > 3 && text.back() == u'\\') text.pop_back();
    return text;
}

std::u16string JoinFolder(std::u16string_view folder, std::u16string_view name) {
    std::u16string out(folder);
    if (name.empty()) return out;
    if (!out.empty() && out.back() != u'\\') out += u'\\';
    out += name;
    return out;
}

std::optional<std::u16string> CutLastComponent(std::u16string_view path) {
    std::size_t slash = path.rfind(u'\\');
    if (slash == std::u16string_view::npos) return std::nullopt;
    return std::u16string(path.substr(0, slash));
}

std::optional<std::u16string> DriveOf(std::u16string_view path) {
    if (path.size() < 2 || !IsAsciiLetter(path[0]) || path[1] != u':') return std::nullopt;
    char16_t letter = path[0] >= u'a' ? char16_t(path[0] - u'a' + u'A') : path[0];
    return std::u16string{letter, u':'};
}

std::optional<std::u16string> ReadFolderValue(SystemFacts& facts, FolderRegistry registry,
                                              std::u16string_view valueName) {
    std::optional<std::u16string> value;
    switch (registry) {
        case FolderRegistry::None: return std::nullopt;
        case FolderRegistry::ShellFoldersMachine:
            value = facts.RegistryText(RegistryRoot::LocalMachine, kShellFoldersKey, valueName);
            break;
        case FolderRegistry::ShellFoldersUser:
            value = facts.RegistryText(RegistryRoot::CurrentUser, kShellFoldersKey, valueName);
            break;
        case FolderRegistry::CurrentVersion:
            value = facts.RegistryText(RegistryRoot::LocalMachine, kCurrentVersionKey, valueName);
            break;
    }
    if (!value) return std::nullopt;
    return NonEmpty(RemoveTrailingBackslash(std::move(*value)));
}

std::optional<std::u16string> LookUpFolder(SystemFacts& facts, const FolderLookup& lookup) {
    if (lookup.csidl != kNoCsidl) {
        if (auto path = NonEmpty(facts.SpecialFolder(lookup.csidl))) return path;
    }
    if (lookup.knownFolder != nullptr) {
        if (auto path = NonEmpty(facts.KnownFolder(*lookup.knownFolder))) return path;
    }
    if (auto path = ReadFolderValue(facts, lookup.registry, lookup.registryValue)) return path;
    if (!lookup.environmentVariable.empty()) {
        if (auto path = NonEmpty(facts.EnvironmentVariable(lookup.environmentVariable))) return path;
    }
    return std::nullopt;
}

}  // namespace palisade
