// The installer settings: every value of the settings block, named as stored, with its default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar_time.h"
#include "payload/message_catalogue.h"
#include "payload/settings_flags.h"

namespace palisade {

// Text forms (see docs/payload-format.md, "Settings block"): std::u16string is
// wide text (stored as UTF-16LE); std::string is narrow text (Windows-1252, or
// UTF-8 after a leading "|"); std::vector<std::uint8_t> is raw bytes kept as stored.
using ByteBlob = std::vector<std::uint8_t>;


// Silent mode rewrites the two flag words as soon as they are read. The
// version comparison (0x10 of the second word) stays: without it a silent
// upgrade counted as a reinstall and its upgrade batch never ran.
inline constexpr std::uint32_t kSilentFlags1Keep = 0x7fffff7f;
inline constexpr std::uint32_t kSilentFlags1Set = 0x30600000;
inline constexpr std::uint32_t kSilentFlags2Clear = 0x8120c;
inline constexpr std::uint32_t kSilentFlags2Set = 0x800;

// Bits of `installerOptions` (row 9).
inline constexpr std::uint32_t kOptionLicenceReadToEnd = 0x1;     // licence Next enabled once scrolled to the end
inline constexpr std::uint32_t kOptionShowDiskSpace = 0x2;        // folder page shows required/available space
inline constexpr std::uint32_t kOptionButtonPictures = 0x4;       // buttons show their pictures
inline constexpr std::uint32_t kOptionRunProgramChecked = 0x8;    // summary box 1025 starts checked
inline constexpr std::uint32_t kOptionOpenDocumentChecked = 0x10; // summary box 1023 starts checked
inline constexpr std::uint32_t kOptionOpenDocument2Checked = 0x20;// summary box 1029 starts checked

// Where a shortcut goes (bits of the bytes of `ShortcutPlacements` and of `AuthorShortcut::placements`).
inline constexpr std::uint8_t kPlaceStartMenu = 0x01;      // the product's start-menu folder
inline constexpr std::uint8_t kPlaceDesktop = 0x02;        // the desktop
inline constexpr std::uint8_t kPlaceDesktopFolder = 0x04;  // the product's desktop folder (`DesktopFolder`)
inline constexpr std::uint8_t kPlaceStartup = 0x08;        // the Startup folder
inline constexpr std::uint8_t kPlaceRoot = 0x10;           // the root of the system drive
inline constexpr std::uint8_t kPlaceTaskbar = 0x20;        // pinned to the taskbar

// Which placements each kind of shortcut gets (row 9, bytes 16..19).
struct ShortcutPlacements {
    std::uint8_t forFlag1 = kPlaceStartMenu;  // file entries with `EntryFlags` 0x01
    std::uint8_t forFlag2 = kPlaceDesktop;    // file entries with `EntryFlags` 0x02
    std::uint8_t forKind5 = kPlaceStartMenu;  // file entries of kind 5
    std::uint8_t forUninstaller = kPlaceStartMenu;  // the uninstaller's own shortcut
};

// The oldest system the product installs on (row 53, 20 bytes); all zero means no minimum.
struct MinimumSystemVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    bool IsEmpty() const {
        return major == 0 && minor == 0 && build == 0 && platformId == 0 && servicePackMajor == 0 &&
               servicePackMinor == 0;
    }
};

// One conditional deletion (row 66; the list ends with the name "~~THE END~~").
struct FileDeletion {
    std::string pathPattern;        // relative to the installation folder, may hold variables
    std::uint8_t condition = 0;     // 1..3 compare dates, 4 compare sizes, other: none
    std::string reference;          // the date or number compared with
    std::uint8_t flags = 0;         // kDelete* bits
};
inline constexpr std::uint8_t kDeleteAtRestart = 0x1;
inline constexpr std::uint8_t kDeleteReportDeferred = 0x2;
inline constexpr std::uint8_t kDeleteAtInstall = 0x4;
inline constexpr std::uint8_t kDeleteAtUninstall = 0x8;

// One file association (row 67, the 5-field string records).
struct FileAssociation {
    std::uint32_t mode = 1;     // 1 full association, 2 "Open With" only
    std::string extension;      // with its leading period
    std::string progId;         // empty or "!..." gives the extension key no default value
    std::string verbs;          // verb names separated by commas
    std::string icon;           // "DefaultIcon" path (narrow path text)
    std::string spareText;      // kept as stored; no effect
    std::u16string description; // the ProgID's display text
    std::u16string command;     // command line of the verbs
    std::u16string verbLabel;   // default value of each verb key
};

// A shortcut the author defines outside the file entries (row 68, the flagged 5-string records).
struct AuthorShortcut {
    std::u16string name;
    std::u16string description;
    std::u16string target;
    std::u16string arguments;
    std::u16string folder;          // explicit folder (variables allowed); empty: placements only
    std::uint8_t status = 1;        // first status field; the builder always writes 1
    std::uint8_t placements = 0;    // kPlace* bits
    std::uint8_t showCommand = 0;   // 0: the shell-link default
    std::string startIn;            // narrow path text; empty: the installation folder
    std::uint8_t iconIndex = 0;     // icon of the target file
    std::uint8_t flags = 0;         // kShortcut* bits
};
inline constexpr std::uint8_t kShortcutPermanent = 0x1;
inline constexpr std::uint8_t kShortcutExpandTarget = 0x2;

// One of the author's values for the uninstall registration (row 70, the short-name records).
struct UninstallValue {
    std::string name;       // value of the product key, or "key path\\value name"
    std::uint8_t type = 1;  // 1 REG_SZ, 2 REG_EXPAND_SZ, 4 REG_DWORD
    std::u16string value;   // expanded before it is written
};

// One window description of the applications to close (row 73; ends with the class "~~THE~END~~").
struct AutoCloseEntry {
    std::u16string classPattern;
    std::u16string titlePattern;
    std::u16string applicationName;
    std::uint8_t action = 0;     // 0 close, 1 quit, 2 ask, 3 terminate
    std::uint8_t phaseMask = 1;  // 1 before installing, 2 uninstaller start, 4 after confirmation
};

// Every value of the settings block, in block order (the row numbers are those
// of the field-order table in docs/payload-format.md). Defaults are the values
// the program uses before the settings are read; the builder starts from them.
struct InstallerSettings {
    std::uint32_t settingsFlags1 = 0;                       // 1
    std::uint32_t settingsFlags2 = 0;                       // 1
    std::uint8_t automaticOverride = 0;                     // 2
    std::u16string taskbarText;                             // 3
    std::u16string displayTitle;                            // 4
    double titleSize = 1.0;                                 // 5
    std::uint32_t progressPosition = 0;                     // 6 (background option value)
    std::uint16_t statusDelay = 0;                          // 7
    std::uint8_t shortcutMode = 0;                          // 8
    std::uint64_t fixedSize = 0;                            // 9 (file-installation record)
    std::uint64_t reserveSize = 0;                          // 9
    ShortcutPlacements shortcutPlacements;                  // 9
    std::uint32_t installerOptions = 0;                     // 9
    std::u16string publisher;                               // 10 company name
    std::u16string displayName;                             // 11 product name
    std::u16string productDescription;                      // 12
    std::uint8_t bitness = 0;                               // 13
    std::uint8_t folderBaseSelector = 0;                    // 14
    std::u16string sharedPath;                              // 15
    std::u16string alternativeSharedFolder;                 // 16
    std::u16string productStartMenu;                        // 17
    std::u16string displayVersion;                          // 18
    std::u16string defaultInstallPath;                      // 19 as stored; worked out by the main sequence
    std::u16string productRegistry;                         // 20
    ByteBlob desktopFolderIcon;                             // 21 (text 21)
    std::u16string appPathsProgram;                         // 22 (text 22)
    std::u16string uninstallerFileName;                     // 23 (text 23)
    std::int32_t bitmapSize = 0;                            // 24
    std::int32_t stretchMode = 2;                           // 25
    std::int32_t uninstallFonts = 2;                        // 26
    std::u16string summaryDocument2;                        // 27 (text 27)
    std::vector<ByteBlob> licenceTexts;                     // 28
    std::vector<ByteBlob> readmeTexts;                      // 29
    std::u16string uninstallSubdir;                         // 30
    std::string linkNotifyAddress;                          // 31 (text 31)
    std::u16string uninstallEntryName;                      // 32
    std::u16string installLocationValue;                    // 33 (text 33)
    std::u16string dialogFont;                              // 34
    std::u16string pageText;                                // 35
    std::uint32_t bannerTextColor = 0;                      // 36 (background option value)
    std::uint8_t pictureFrameMode = 3;                      // 37 (background option byte)
    std::uint32_t titleColor = 0xFFFEF7;                    // 38
    std::uint8_t titleShadow = 1;                           // 39
    std::uint8_t titlePosition = 0;                         // 40
    std::u16string titleFont = u"Cambria Bold Italic, Times New Roman Bold Italic";  // 41
    std::uint32_t topColor = 0xFFFFFFFF;                    // 42
    std::uint32_t bottomColor = 0xFFFFFFFF;                 // 42
    ByteBlob backgroundPicture;                             // 43
    std::int32_t bitmapTpi = -1;                            // 43, stored only with a picture
    std::uint8_t copyrightPos = 0;                          // 44
    std::uint32_t copyrightColor = 0xFEFCEC;                // 45, stored only when copyrightPos != 0
    double copyrightSize = 1.0;                             // 45
    std::u16string copyrightText;                           // 45
    std::u16string copyrightFont = u"Calibri Bold Italic, Verdana Bold Italic, Arial Bold Italic";  // 45
    std::uint32_t pageBackgroundColor = 0xFFFFFFFF;         // 46, stored only with Flags1::kPageColours
    std::uint32_t pageTextColor = 0;                        // 46
    std::u16string masterUninstallName;                     // 47, stored only with Flags1::kMasterProduct
    std::u16string masterDisplayName;                       // 47
    std::u16string masterMinimumVersion;                    // 47
    ByteBlob startupSound;                                  // 48
    std::u16string desktopFolder;                           // 49
    ByteBlob registryMerge;                                 // 50 (text 50)
    std::string preInstallBatch;                            // 51
    std::string postInstallBatch;                           // 51
    std::string installExitBatch;                           // 51
    std::string uninstallBatch1;                            // 52
    std::string uninstallBatch2;                            // 52
    std::string upgradeBatch;                               // 52
    std::string reinstallBatch;                             // 52
    MinimumSystemVersion minimumSystemVersion;              // 53
    std::uint32_t excludedSystems = 0;                      // 54
    std::uint8_t archiveInFile = 0;                         // 55
    std::string notifyText1;                                // 56 (1st)
    std::string notifyText2;                                // 56
    std::string notifyText3;                                // 56
    std::string startNotifyAddress;                         // 56 (4th)
    std::string beginNotifyAddress;                         // 56 (5th)
    std::string completionNotifyAddress;                    // 56 (6th)
    std::string notifyText7;                                // 56
    std::string notifyText8;                                // 56
    std::string notifyText9;                                // 56
    std::string notifyUrl;                                  // 56 (10th)
    std::string notifyText11;                               // 56
    std::string cancelNotifyAddress;                        // 56 (12th)
    std::string errorNotifyAddress;                         // 56 (13th)
    std::string expectedExistingVersion;                    // 57 (text 57)
    std::string noDowngradeBelow;                           // 58
    CalendarTime buildDate;                                 // 59 (64-bit value); no date when month is 0
    std::u16string installPassword;                         // 60
    std::u16string mustUninstallVersion;                    // 61
    std::u16string greetingLinkAddress;                     // 62 (text 62)
    std::u16string addToPathSubfolder;                      // 63
    std::int32_t messageBoxValue1 = 0;                      // 64
    std::int32_t messageBoxValue2 = 0;                      // 64
    std::int32_t greetingPageVariant = 1;                   // 64
    std::int32_t languagePageVariant = 1;                   // 64
    std::int32_t licencePageVariant = 1;                    // 64
    std::int32_t readmePageVariant = 1;                     // 64
    std::int32_t folderPageVariant = 1;                     // 64
    std::int32_t startMenuPageVariant = 1;                  // 64
    std::int32_t progressPageVariant = 1;                   // 64 (the further page variant)
    std::int32_t summaryPageVariant = 1;                    // 64
    std::int32_t integrityMode = 0;                         // 64
    ByteBlob uninstallerIcon;                               // 65, stored only with Flags1::kUninstaller
    std::vector<FileDeletion> fileDeletions;                // 66
    std::vector<FileAssociation> fileAssociations;          // 67
    std::vector<AuthorShortcut> authorShortcuts;            // 68
    std::u16string launchProgram;                           // 69
    std::u16string summaryDocument;                         // 69
    std::u16string firewallRules;                           // 69
    std::u16string registryEntries;                         // 69
    std::vector<UninstallValue> uninstallValues;            // 70
    std::u16string supportOffer;                            // 71
    ByteBlob productIcon;                                   // 72
    std::vector<AutoCloseEntry> autoCloseEntries;           // 73
    MessageCatalogue messageCatalogue;                      // 74

    // `MonoColor`: the background is one flat colour.
    bool MonoColor() const { return topColor == bottomColor; }
};

// Compares every value the settings block carries (through the schema, so no
// field can be left out of the comparison).
bool operator==(const InstallerSettings& a, const InstallerSettings& b);
inline bool operator!=(const InstallerSettings& a, const InstallerSettings& b) { return !(a == b); }

// `DialogFont` is "face" or "face,points" (either part may be missing); a size of
// 0 or a missing face leaves that part of the page templates unchanged.
struct DialogFontSpec {
    std::u16string face;
    std::uint16_t points = 0;
};
DialogFontSpec ParseDialogFont(std::u16string_view text);

bool operator==(const ShortcutPlacements& a, const ShortcutPlacements& b);
bool operator==(const MinimumSystemVersion& a, const MinimumSystemVersion& b);
bool operator==(const FileDeletion& a, const FileDeletion& b);
bool operator==(const FileAssociation& a, const FileAssociation& b);
bool operator==(const AuthorShortcut& a, const AuthorShortcut& b);
bool operator==(const UninstallValue& a, const UninstallValue& b);
bool operator==(const AutoCloseEntry& a, const AutoCloseEntry& b);

}  // namespace palisade
