// The numbered internal errors that end a run with the corrupt-installer
// message: stable numbers that users quote, one name each, and what each
// check found. The readers, the stub and the inspector all take them from here.
#pragma once

namespace palisade {

struct FatalCode {
    // Locating the payload in the executable.
    static constexpr int kSectionAtZero = 9;
    static constexpr int kSectionNotReachable = 10;
    static constexpr int kPeHeaderOffset = 43;
    static constexpr int kSectionCount = 44;
    // The payload header and the settings block.
    static constexpr int kStatusDelay = 19;
    static constexpr int kBadMagic = 20;
    static constexpr int kSettingsSize = 22;
    static constexpr int kLicenceCount = 24;
    static constexpr int kSettingsChecksum = 25;
    static constexpr int kReadmeCount = 26;
    static constexpr int kItemCount = 27;
    static constexpr int kItemSize = 28;
    static constexpr int kArchiveLength = 29;
    static constexpr int kLanguageCount = 30;
    static constexpr int kMessageCount = 31;
    static constexpr int kEndMarker = 32;
    static constexpr int kHeadUnreadable = 35;
    static constexpr int kAssociationCount = 36;
    static constexpr int kUninstallValueCount = 37;
    static constexpr int kDeletionListLength = 38;
    static constexpr int kBitmapSize = 39;
    static constexpr int kIntegrityChecksum = 40;
    static constexpr int kAutoCloseListLength = 41;
    static constexpr int kTailUnreadable = 42;
    static constexpr int kPayloadLength = 45;
    static constexpr int kArchiveAvailable = 46;
    static constexpr int kSettingsNotDecompressed = 47;
    static constexpr int kShortcutCount = 48;
    static constexpr int kArchiveChecksum = 55;
    // The archive's chunks and items.
    static constexpr int kChunkNotDecompressed = 60;
    static constexpr int kChunkSize = 61;
    static constexpr int kChunkChecksum = 62;
    static constexpr int kChunkBeyondArchive = 63;
    static constexpr int kItemNameEmpty = 70;
    static constexpr int kItemSizeEntry = 71;
    static constexpr int kItemDataSize = 72;
    static constexpr int kArchiveLeftOver = 80;
    static constexpr int kItemChecksum = 100;
    // Texts and records met while installing.
    static constexpr int kDeletionDate = 65;
    static constexpr int kAppletWithoutName = 78;
    static constexpr int kAppletWithoutClassId = 79;
    static constexpr int kFirewallRules = 90;
    static constexpr int kItemKind = 110;
    static constexpr int kUninstallValueType = 200;
    // Integrity mode 2: 1000 + the signature test's result number.
    static constexpr int kSignatureBase = 1000;
};

struct FatalCodeDescription {
    int code;
    const char* check;  // what was found, in the inspector's words
};

// The description of `code`; null for a number the program never raises.
// Codes from kSignatureBase on are described by their result number.
const FatalCodeDescription* DescribeFatalCode(int code);

}  // namespace palisade
