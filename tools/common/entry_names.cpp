// Names of item kinds, overwrite modes, shortcut bits and attributes, shared by the builder and the inspector.
#include "common/entry_names.h"

namespace palisade::tools {

const std::vector<Named<EntryKind>>& KindNames() {
    static const std::vector<Named<EntryKind>> names = {
        {"file", EntryKind::File},
        {"shared", EntryKind::SharedFile},
        {"font", EntryKind::Font},
        {"shortcut-file", EntryKind::ShortcutFile},
        {"system", EntryKind::SystemFile},
        {"system-com", EntryKind::SystemComServer},
        {"system-typelib", EntryKind::SystemTypeLibrary},
        {"newer-only", EntryKind::NewerOnlyFile},
        {"driver-inf", EntryKind::DriverInf},
        {"msi", EntryKind::MsiPackage},
        {"control-panel", EntryKind::ControlPanelApplet},
    };
    return names;
}

const std::vector<Named<OverwriteMode>>& OverwriteNames() {
    // 20, 24 and 28 behave as 4, 0 and 0; the builder writes only these five.
    static const std::vector<Named<OverwriteMode>> names = {
        {"default", OverwriteMode::Default},
        {"never", OverwriteMode::PassOver},
        {"existing-only", OverwriteMode::OnlyIfExisting},
        {"missing-only", OverwriteMode::OnlyIfMissing},
        {"unless-newer", OverwriteMode::UnlessExistingIsLater},
    };
    return names;
}

const std::vector<Named<std::uint32_t>>& ShortcutNames() {
    static const std::vector<Named<std::uint32_t>> names = {
        {"none", 0}, {"start-menu", 0x01}, {"desktop", 0x02}, {"both", 0x03}};
    return names;
}

const std::vector<Named<std::int32_t>>& AttributeNames() {
    static const std::vector<Named<std::int32_t>> names = {
        {"read-only", 0x1}, {"hidden", 0x2},     {"system", 0x4},
        {"archive", 0x20},  {"temporary", 0x100}, {"offline", 0x1000},
    };
    return names;
}

std::string KindName(EntryKind kind) {
    for (const auto& named : KindNames()) {
        if (named.value == kind) return named.name;
    }
    return std::to_string(static_cast<std::int32_t>(kind));
}

std::string OverwriteName(std::uint32_t flags) {
    std::uint32_t mode = flags & EntryFlags::kOverwriteMask;
    if (mode == 20) mode = 4;
    if (mode == 24 || mode == 28) mode = 0;
    for (const auto& named : OverwriteNames()) {
        if (std::uint32_t(named.value) == mode) return named.name;
    }
    return std::to_string(mode);
}

std::string ShortcutName(std::uint32_t flags) {
    for (const auto& named : ShortcutNames()) {
        if (named.value == (flags & EntryFlags::kShortcutMask)) return named.name;
    }
    return "none";
}

std::vector<std::string> AttributeList(std::int32_t attributes) {
    std::vector<std::string> list;
    if (attributes == -1) return list;
    for (const auto& named : AttributeNames()) {
        if (attributes & named.value) list.push_back(named.name);
    }
    return list;
}

}  // namespace palisade::tools
