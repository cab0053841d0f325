// Where a file entry goes.
#include "actions/file_destination.h"

#include "core/program_narrow.h"
#include "core/text.h"

namespace palisade {
namespace {

bool HasBackslash(std::u16string_view text) { return text.find(u'\\') != std::u16string_view::npos; }

std::u16string_view WithoutTrailingBackslashes(std::u16string_view path) {
    while (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    return path;
}

// The folder of the entry's kind when it has no override; empty for a kind
// that has no folder.
std::u16string KindFolder(EntryKind kind, const DestinationFolders& folders) {
    switch (kind) {
        case EntryKind::SharedFile: return folders.sharedFolder;
        case EntryKind::Font: return folders.fontsFolder;
        case EntryKind::SystemFile:
        case EntryKind::SystemComServer:
        case EntryKind::SystemTypeLibrary: return folders.systemFolder;
        default: return folders.installFolder;
    }
}

// The override after the portable rule for shared files: a relative folder
// override goes below the shared sub-folder name; any other is dropped.
std::u16string PortableSharedOverride(std::u16string_view override, const DestinationRules& rules) {
    bool relativeFolder = HasBackslash(override) && !IsAbsolutePath(override) && override.front() != u'%';
    return relativeFolder ? JoinPath(rules.portableSharedSubfolder, override) : std::u16string();
}

void PlaceByOverride(const FileEntry& entry, std::u16string_view override, bool portableShared,
                     const DestinationRules& rules, Destination& out) {
    std::u16string expanded = rules.expand ? rules.expand(override) : std::u16string(override);
    if (expanded.size() >= 2 && expanded.compare(expanded.size() - 2, 2, u"\\\\") == 0) expanded.pop_back();
    if (!IsAbsolutePath(expanded)) {
        // Shared files are relative to the shared folder; a portable one was
        // already given the shared sub-folder, so it starts at the installation folder.
        bool shared = entry.kind == EntryKind::SharedFile && !portableShared;
        expanded = JoinPath(shared ? rules.folders.sharedFolder : rules.folders.installFolder, expanded);
    }
    if (!expanded.empty() && expanded.back() == u'\\') expanded += out.name;
    out.path = std::move(expanded);
    out.createFolder = true;
}

}  // namespace

bool IsKnownKind(EntryKind kind) {
    std::int32_t value = std::int32_t(kind);
    return value == 0 || value == 1 || (value >= 4 && value <= 12);
}

bool IsInstallFolderKind(EntryKind kind) {
    std::int32_t value = std::int32_t(kind);
    return value == 0 || value == 5 || (value >= 9 && value <= 12);
}

Destination PlaceEntry(const FileEntry& entry, const DestinationRules& rules) {
    Destination out;
    if (!IsKnownKind(entry.kind)) {
        out.badKind = true;
        return out;
    }
    out.name = DecodeProgramNarrow(entry.name);
    std::u16string override = entry.destinationOverride;
    if (!override.empty() && !HasBackslash(override)) out.name = override;
    bool portableShared = rules.portable && entry.kind == EntryKind::SharedFile && !rules.portableSharedSubfolder.empty();
    if (portableShared && !override.empty()) override = PortableSharedOverride(override, rules);
    if (!override.empty()) {
        PlaceByOverride(entry, override, portableShared && !override.empty(), rules, out);
        return out;
    }
    if (entry.flags & EntryFlags::kToUninstallFolder) {
        out.path = JoinPath(rules.folders.uninstallDataFolder, out.name);
        return out;
    }
    out.path = JoinPath(KindFolder(entry.kind, rules.folders), out.name);
    out.createFolder = IsInstallFolderKind(entry.kind);
    out.fontListed = entry.kind == EntryKind::Font && !(entry.flags & EntryFlags::kPermanent);
    return out;
}

std::u16string JoinPath(std::u16string_view a, std::u16string_view b) {
    if (a.empty()) return std::u16string(b);
    std::u16string joined(WithoutTrailingBackslashes(a));
    while (!b.empty() && b.front() == u'\\') b.remove_prefix(1);
    joined += u'\\';
    joined += b;
    return joined;
}

std::u16string FolderOf(std::u16string_view path) {
    std::size_t slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash));
}

std::u16string FileNameOf(std::u16string_view path) {
    std::size_t slash = path.rfind(u'\\');
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

bool IsAbsolutePath(std::u16string_view path) {
    if (!path.empty() && path.front() == u'\\') return true;
    return path.size() >= 2 && path[1] == u':' &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

bool SameFolder(std::u16string_view a, std::u16string_view b) {
    return EqualsIgnoreCase(WithoutTrailingBackslashes(a), WithoutTrailingBackslashes(b));
}

std::u16string FontListPiece(std::u16string_view face, std::u16string_view fileName) {
    std::u16string piece;
    piece += u'"';
    piece += face;
    piece += u"\" \"";
    piece += fileName;
    piece += u"\" ";
    return piece;
}

}  // namespace palisade
