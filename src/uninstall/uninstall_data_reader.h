// Reads Uninstall.DAT back: the uninstall list by prefix, the "[Strings]"
// messages and the raw lines of every other section. Damaged or foreign
// bytes never stop the reader; what it cannot understand it leaves out.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// The kind of an uninstall list line, by its one-character prefix.
enum class UninstallLineKind {
    File,           // no prefix
    Folder,         // "~"
    InstallFolder,  // "!": the installation folder, stored as UTF-8
    ActionItem,     // "^"
    RegistryKey,    // "*"
};

struct UninstallLine {
    UninstallLineKind kind = UninstallLineKind::File;
    std::u16string path;  // decoded: UTF-8 for InstallFolder, the program's narrow form otherwise
};

// One "[Associations]" record, split on "~!~".
struct AssociationRecord {
    std::u16string extension;
    std::u16string progId;  // as written: a leading "!" means the extension's default was not set
    std::u16string verb;
    std::u16string icon;
};

struct UninstallDataContents {
    std::vector<UninstallLine> items;       // in file order, empty lines left out
    std::map<int, std::u16string> strings;  // "[Strings]": message number (1..999) → text
    // The other sections as their non-empty lines (bytes as stored, UTF-8 or
    // the program's narrow form, as each section's writer chose).
    std::vector<std::string> autoClose;
    std::vector<std::string> associations;
    std::vector<std::string> firewall;
    std::vector<std::string> inf;
    std::vector<std::string> msi;
    std::vector<std::string> registry2;
    std::vector<std::string> conditionalDelete;
};

UninstallDataContents ParseUninstallData(std::string_view bytes);

// One uninstall list line (without its line break) by its prefix.
UninstallLine ClassifyUninstallLine(std::string_view line);

// The "~!~"-separated fields (UTF-8); a record with fewer than three fields
// comes back empty, so there is nothing to remove for it.
AssociationRecord ParseAssociationRecord(std::string_view line);

// "[MSI]": "\"<package>\",<level>"; the level is 2 when missing or unreadable.
struct MsiRecord {
    std::u16string package;
    int uiLevel = 2;
};
MsiRecord ParseMsiRecord(std::string_view line);

}  // namespace palisade
