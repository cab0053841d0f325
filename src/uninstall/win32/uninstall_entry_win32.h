// The product's entry in the list of installed programs, as the uninstaller
// reads it: every value the installation stored there, and the few edits the
// uninstaller makes to it (deleting batch and shared-file values, the key).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace palisade {

struct UninstallEntry {
    std::u16string keyName;  // the name given to /u:
    std::u16string displayName;
    std::u16string installLocation;
    std::uint32_t flags1 = 0;  // "ProductFlags", low half
    std::uint32_t flags2 = 0;  // "ProductFlags", high half
    std::uint32_t payloadFlags = 0;
    std::uint32_t bitness = 0;
    std::u16string displayVersion;
    std::u16string uninstallSubdir;
    std::u16string addToPathSubfolder;
    std::u16string productFonts;
    std::uint32_t uninstallFonts = 2;
    std::uint32_t shortcutMode = 0;
    std::u16string notifyUrl;
    std::int64_t session = 0;
    std::u16string desktopFolder;
    std::u16string supportOffer;
    std::u16string sharedPath;
    std::u16string productStartMenu;
    std::u16string uninstallBatch1;
    std::u16string sharedFiles;
    std::u16string productRegistry;
    std::u16string uninstallBatch2;
    std::u16string uninstallString;  // the recorded command: the uninstaller's path and its switch
    std::u16string uninstallDataHash;  // the SHA-256 recorded for Uninstall.DAT; empty: none (older installations)

    // The uninstall data folder: the installation folder joined with "UninstallSubdir".
    std::u16string UninstallDataFolder() const;
};

enum class EntryStatus { Ok, Missing, Unreadable, Corrupt };

struct EntryReading {
    EntryStatus status = EntryStatus::Missing;
    UninstallEntry entry;
};

// HKEY_LOCAL_MACHINE, the installed-programs key joined with `name`, in the
// 32-bit view the installer wrote it to.
EntryReading ReadProductEntry(std::u16string_view name);

// Deleting a value that is already gone is no failure.
bool DeleteProductEntryValue(std::u16string_view name, std::u16string_view value);
bool DeleteProductEntry(std::u16string_view name);

}  // namespace palisade
