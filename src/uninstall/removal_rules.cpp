// Path, folder and registry-key decisions of the uninstaller.
#include "uninstall/removal_rules.h"

#include <algorithm>
#include <set>

#include "actions/protected_keys.h"
#include "core/text.h"

namespace palisade {
namespace {

std::u16string_view WithoutTrailingBackslashes(std::u16string_view path) {
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    return path;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = FoldCase(c);
    return folded;
}

// Length of the root part: "C:\" → 3, "\\server\share\" → up to and with the
// backslash after the share; 0 when the path has no such root.
std::size_t RootLength(std::u16string_view path) {
    if (path.size() >= 3 && path[1] == u':' && path[2] == u'\\') {
        char16_t letter = char16_t(path[0] | 0x20);
        return letter >= u'a' && letter <= u'z' ? 3 : 0;
    }
    if (path.substr(0, 2) != u"\\\\") return 0;
    std::size_t server = path.find(u'\\', 2);
    if (server == std::u16string_view::npos || server == 2) return 0;
    std::size_t share = path.find(u'\\', server + 1);
    if (share == std::u16string_view::npos || share == server + 1) return 0;
    return share + 1;
}

// A component the system would read differently from the text: "." and
// "..", an empty one (two backslashes), or one ending in a dot or blank
// (which the system strips: "Windows." is "Windows").
bool IsAmbiguousComponent(std::u16string_view part) {
    return part.empty() || part == u"." || part == u".." || part.back() == u'.' || part.back() == u' ';
}

// Only plain components: the path names what it seems to name, and nothing
// can make the uninstaller act on another file (C:\., C:\a\..\b,
// C:\Windows., stream names, wildcards).
bool HasOnlyPlainComponents(std::u16string_view path, std::size_t rootLength) {
    std::u16string_view rest = path.substr(rootLength);
    if (rest.find_first_of(u"/:*?\"<>|") != std::u16string_view::npos) return false;
    for (char16_t c : rest) {
        if (c < 0x20) return false;
    }
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find(u'\\', start);
        if (end == std::u16string_view::npos) end = rest.size();
        if (IsAmbiguousComponent(rest.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

std::size_t Depth(std::u16string_view path) { return std::size_t(std::count(path.begin(), path.end(), u'\\')); }

std::vector<std::u16string_view> Components(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

bool IsRemovablePath(std::u16string_view path) {
    path = WithoutTrailingBackslashes(path);
    // "\\?\" and "\\.\" name the system's own namespaces, not a share.
    if (path.substr(0, 4) == u"\\\\?\\" || path.substr(0, 4) == u"\\\\.\\") return false;
    std::size_t root = RootLength(std::u16string(path) + u"\\");
    if (root == 0 || path.size() < root) return false;  // no root, or the root itself
    return HasOnlyPlainComponents(path, root);
}

std::u16string ParentFolder(std::u16string_view path) {
    path = WithoutTrailingBackslashes(path);
    std::size_t slash = path.rfind(u'\\');
    if (slash == std::u16string_view::npos) return {};
    std::u16string parent(path.substr(0, slash));
    if (RootLength(parent + u"\\") == parent.size() + 1) return {};  // "C:" or "\\server\share": a root
    return parent;
}

bool IsInsideFolder(std::u16string_view path, std::u16string_view folder) {
    path = WithoutTrailingBackslashes(path);
    folder = WithoutTrailingBackslashes(folder);
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != u'\\') return false;
    return EqualsIgnoreCase(path.substr(0, folder.size()), folder);
}

bool IsShellLeftover(std::u16string_view name) {
    return EqualsIgnoreCase(name, u"thumbs.db") || EqualsIgnoreCase(name, u"desktop.ini");
}

bool CountsAsEmptyFolder(const std::vector<std::u16string>& names) {
    return std::all_of(names.begin(), names.end(), [](const std::u16string& name) { return IsShellLeftover(name); });
}

std::vector<std::u16string> FolderRemovalOrder(const FolderCandidates& candidates) {
    std::u16string install(WithoutTrailingBackslashes(candidates.installFolder));
    std::set<std::u16string> seen;
    std::vector<std::u16string> folders;
    auto add = [&](std::u16string_view folder) {
        folder = WithoutTrailingBackslashes(folder);
        if (!IsRemovablePath(folder)) return;
        if (seen.insert(Folded(folder)).second) folders.emplace_back(folder);
    };
    // Inside the installation folder every level up to it belongs to the product.
    auto addWithParents = [&](std::u16string_view folder) {
        add(folder);
        std::u16string parent(WithoutTrailingBackslashes(folder));
        while (IsInsideFolder(parent, install)) {
            parent = ParentFolder(parent);
            add(parent);
        }
    };
    for (const std::u16string& folder : candidates.recorded) addWithParents(folder);
    for (const std::u16string& folder : candidates.ofDeletedFiles) {
        if (IsInsideFolder(folder, install) || EqualsIgnoreCase(WithoutTrailingBackslashes(folder), install)) {
            addWithParents(folder);
        }
    }
    if (!install.empty()) add(install);
    std::stable_sort(folders.begin(), folders.end(), [](const std::u16string& a, const std::u16string& b) {
        if (Depth(a) != Depth(b)) return Depth(a) > Depth(b);
        return a.size() > b.size();
    });
    return folders;
}

std::vector<std::u16string> RecordedParentsOf(const std::vector<std::u16string>& recorded,
                                              std::u16string_view installFolder) {
    std::set<std::u16string> seen;
    std::vector<std::u16string> parents;
    for (const std::u16string& folder : recorded) {
        std::u16string_view trimmed = WithoutTrailingBackslashes(folder);
        if (!IsRemovablePath(trimmed) || !IsInsideFolder(installFolder, trimmed)) continue;
        if (seen.insert(Folded(trimmed)).second) parents.emplace_back(trimmed);
    }
    std::stable_sort(parents.begin(), parents.end(),
                     [](const std::u16string& a, const std::u16string& b) { return Depth(a) > Depth(b); });
    return parents;
}

bool IsDeletableKey(const RegistryPath& key) { return !IsProtectedKey(key); }

int RemoveKeyChain(KeyRemover& remover, std::u16string_view productKey) {
    std::u16string_view path = productKey;
    while (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
    path = WithoutTrailingBackslashes(path);
    if (path.empty()) return 0;
    for (std::u16string_view part : Components(path)) {
        if (part.empty() || part == u"..") return 0;
    }
    std::u16string current = u"Software\\" + std::u16string(path);
    // The same keys are shared in the machine's and every user's hive.
    auto deletable = [](const std::u16string& subKey) { return IsDeletableKey({KeyRoot::LocalMachine, subKey}); };
    if (!deletable(current) || !remover.DeleteTree(current)) return 0;
    int deleted = 1;
    while (deleted < kMaxKeyChainLevels) {
        std::size_t slash = current.rfind(u'\\');
        current.resize(slash);
        if (!deletable(current) || !remover.DeleteIfEmpty(current)) break;
        ++deleted;
    }
    return deleted;
}

std::uint32_t ParseUnsignedDecimal(std::u16string_view text) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + std::uint64_t(text[i] - u'0');
        if (value > 0xFFFFFFFFu) return 0;
    }
    return std::uint32_t(value);
}

ProductFlagWords ParseProductFlags(std::u16string_view text) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        std::uint64_t digit = std::uint64_t(text[i] - u'0');
        if (value > (UINT64_MAX - digit) / 10) return {};  // beyond 64 bits: unreadable
        value = value * 10 + digit;
    }
    return {std::uint32_t(value & 0xFFFFFFFFu), std::uint32_t(value >> 32)};
}

std::vector<FontRecord> ParseProductFonts(std::u16string_view text) {
    std::vector<std::u16string> quoted;
    std::size_t at = 0;
    while (true) {
        std::size_t open = text.find(u'"', at);
        if (open == std::u16string_view::npos) break;
        std::size_t close = text.find(u'"', open + 1);
        if (close == std::u16string_view::npos) break;
        quoted.emplace_back(text.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    std::vector<FontRecord> fonts;
    for (std::size_t i = 0; i + 1 < quoted.size(); i += 2) {
        if (!quoted[i + 1].empty()) fonts.push_back({quoted[i], quoted[i + 1]});
    }
    return fonts;
}

FontDecision DecideFontRemoval(std::uint32_t uninstallFonts, bool automaticOrSilent) {
    if (uninstallFonts == 0) return FontDecision::Keep;
    if (uninstallFonts == 1) return FontDecision::Remove;
    return automaticOrSilent ? FontDecision::Keep : FontDecision::Ask;
}

std::string ToWindows1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += char(c);
            continue;
        }
        char mapped = '?';
        for (int byte = 0x80; byte <= 0x9F; ++byte) {
            char narrow = char(byte);
            if (Windows1252ToUtf16(std::string_view(&narrow, 1)) == std::u16string(1, c)) {
                mapped = narrow;
                break;
            }
        }
        out += mapped;
    }
    return out;
}

bool IsSupportAddress(std::u16string_view text) {
    std::u16string_view rest;
    for (std::u16string_view scheme : {u"http://", u"https://", u"mailto:"}) {
        if (StartsWithIgnoreCase(text, scheme)) rest = text.substr(scheme.size());
    }
    if (rest.empty()) return false;
    return std::none_of(rest.begin(), rest.end(), [](char16_t c) { return c <= u' ' || c == 0x7F; });
}

int FileProgressPercent(std::size_t index, std::size_t count) {
    if (count == 0) return 92;
    if (index > count) index = count;
    return 11 + int((81 * std::uint64_t(index)) / count);
}

}  // namespace palisade
