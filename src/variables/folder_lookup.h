// The lookup chain behind most folder values: special folder (CSIDL), known
// folder, registry value, environment variable; the caller adds the fallback.
// Also the small path rules that the folder values share.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "variables/system_facts.h"

namespace palisade {

// Where the registry step of a lookup reads.
enum class FolderRegistry {
    None,
    ShellFoldersMachine,  // HKLM ...\Explorer\Shell Folders ("All" folders)
    ShellFoldersUser,     // HKCU ...\Explorer\Shell Folders (per-user folders)
    CurrentVersion,       // HKLM Software\Microsoft\Windows\CurrentVersion
};

inline constexpr int kNoCsidl = -1;

struct FolderLookup {
    int csidl = kNoCsidl;
    const FolderGuid* knownFolder = nullptr;
    FolderRegistry registry = FolderRegistry::None;
    std::u16string_view registryValue;
    std::u16string_view environmentVariable;
};

inline constexpr std::u16string_view kShellFoldersKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr std::u16string_view kCurrentVersionKey = u"Software\\Microsoft\\Windows\\CurrentVersion";

// The first step of the chain that yields a non-empty text; nullopt when none does.
std::optional<std::u16string> LookUpFolder(SystemFacts& facts, const FolderLookup& lookup);

// The registry step alone: the value with one trailing backslash removed
// (unless it is a drive root); nullopt when missing or empty.
std::optional<std::u16string> ReadFolderValue(SystemFacts& facts, FolderRegistry registry,
                                              std::u16string_view valueName);

// Removes one trailing backslash unless the text is three characters or
// shorter, so that a drive root such as "C:\" keeps it.
std::u16string RemoveTrailingBackslash(std::u16string text);

// folder + "\" + name, without doubling a backslash the folder already ends
// with; an empty name gives the folder.
std::u16string JoinFolder(std::u16string_view folder, std::u16string_view name);

// The text before the last backslash; nullopt when there is no backslash.
std::optional<std::u16string> CutLastComponent(std::u16string_view path);

// "X:" with the letter upper-cased when the path begins with a letter and a
// colon; nullopt otherwise.
std::optional<std::u16string> DriveOf(std::u16string_view path);

}  // namespace palisade
