// What an installation run collects for later steps and for the uninstaller:
// the uninstall list, the lists filled during the file walk, the installed
// set and the section texts of the uninstall data.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// The kinds of line in the uninstall list, by their one-character prefix.
enum class UninstallItemType {
    File = 0,            // no prefix
    Folder = 1,          // "~", once per folder (compared without regard to case)
    InstallFolder = 2,   // "!", the installation folder itself, UTF-8
    ActionItem = 3,      // "^", recorded by the installation actions
    RegistryKey = 4,     // "*", a registry key the installation created
};

// The uninstall list: narrow lines, each ended by CR LF.
class UninstallList {
public:
    // Appends `path` with its prefix; paths of three characters or fewer (a
    // drive root) are never recorded, nor a line recorded before. Wide paths
    // become the program's narrow form (UTF-8 for InstallFolder).
    void Record(std::u16string_view path, UninstallItemType type);
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    std::set<std::u16string> m_recorded;  // the type's prefix and the case-folded path
};

// A shortcut wanted by a file entry (flags & 0x03, or kind 5).
struct ShortcutRecord {
    bool flag1 = false;             // entry flags & 0x01
    bool flag2 = false;             // entry flags & 0x02
    bool alwaysShortcut = false;    // kind 5
    bool permanent = false;
    std::u16string target;          // the installed file
    std::u16string description;     // the entry's info, decoded as UTF-8
    std::u16string name;            // the entry's shortcut name
    std::u16string arguments;       // from Windows-1252
    std::u16string startIn;         // the entry's start-in folder (may be empty)
};

// The case-insensitive set of paths written in this run.
class PathSet {
public:
    void Insert(std::u16string_view path);
    bool Contains(std::u16string_view path) const;
    std::size_t Size() const { return m_paths.size(); }

private:
    std::set<std::u16string> m_paths;  // case-folded
};

struct InstallationRecord {
    UninstallList uninstallItems;
    PathSet installedFiles;

    // Filled during the file walk, in entry order.
    std::vector<std::u16string> sharedCountList;  // path, optionally after its mark character
    std::vector<std::u16string> comRegistrationList;
    std::vector<std::u16string> typeLibraryList;
    std::vector<std::u16string> driverInfList;
    std::vector<ShortcutRecord> shortcutList;
    std::u16string fontList;  // "\"face\" \"file\" " per font
    bool fontInstalled = false;

    // The shared files this product has counted: loaded from the existing
    // registration, grown by the counting step.
    std::u16string sharedFilesRecord;

    // Section texts of the uninstall data, written when not empty.
    std::string associations;
    std::string firewall;
    std::string inf;
    std::string msi;
    std::u16string registry2;
    std::string conditionalDelete;
};

// Marks in front of a `sharedCountList` entry.
inline constexpr char16_t kSharedPermanentMark = u' ';
inline constexpr char16_t kSharedComServerMark = u'^';
inline constexpr char16_t kSharedTypeLibraryMark = u'\u00A9';

}  // namespace palisade
