// One archive item (`FileEntry`) and the reading of its item record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/byte_view.h"
#include "core/calendar_time.h"

namespace palisade {

// Where an item goes and what follows its writing. Values 2, 3 and 13 and
// above are not kinds; the file phase rejects them.
enum class EntryKind : std::int32_t {
    File = 0,
    SharedFile = 1,
    Font = 4,
    ShortcutFile = 5,
    SystemFile = 6,
    SystemComServer = 7,
    SystemTypeLibrary = 8,
    NewerOnlyFile = 9,
    DriverInf = 10,
    MsiPackage = 11,
    ControlPanelApplet = 12,
};

// Bits of an item's flags word.
struct EntryFlags {
    static constexpr std::uint32_t kShortcutMask = 0x03;  // also announce the shortcut name field
    static constexpr std::uint32_t kOverwriteMask = 0x1c;
    static constexpr std::uint32_t kPermanent = 0x20;
    static constexpr std::uint32_t kToUninstallFolder = 0x40;
    static constexpr std::uint32_t kRecordMsiPackage = 0x80;
};

// The replacement rule of an item: flags & 0x1c.
enum class OverwriteMode : std::uint32_t {
    Default = 0,
    PassOver = 4,
    OnlyIfExisting = 8,
    OnlyIfMissing = 12,
    UnlessExistingIsLater = 16,
    PassOverAlso = 20,
    DefaultAlso24 = 24,
    DefaultAlso28 = 28,
};

// An item's time stamp: six signed 32-bit values; month 0 means no date,
// hour -1 no time. UTC.
struct FileTimeStamp : CalendarTime {
    static constexpr int kNoTime = -1;
    FileTimeStamp() { hour = kNoTime; }
    FileTimeStamp(int y, int mo, int d, int h, int mi, int s) : CalendarTime{y, mo, d, h, mi, s} {}
    explicit FileTimeStamp(const CalendarTime& time) : CalendarTime(time) {}

    bool HasTime() const { return hour != kNoTime; }
    bool IsComplete() const { return HasDate() && HasTime(); }
};

inline constexpr std::size_t kFileTimeStampSize = 24;

struct FileEntry {
    std::string name;  // narrow path text as stored ("|" + UTF-8, or ANSI)
    EntryKind kind = EntryKind::File;
    std::uint32_t flags = 0;
    std::int32_t attributes = -1;  // -1: leave the written file's attributes alone
    FileTimeStamp timeStamp;
    std::string info;
    std::optional<std::u16string> shortcutName;  // present when flags & 0x03
    std::string arguments;
    std::u16string destinationOverride;
    std::string extra;
    std::optional<std::int32_t> msiUiLevel;  // present for kind 11
    ByteView data;  // inside the record it was read from
    std::uint32_t dataChecksum = 0;
    // Above 0: the data (this many bytes) was left in the archive, to be read
    // through ItemWalker::ReadData, and `data` is empty.
    std::uint32_t streamedDataSize = 0;

    bool IsStreamed() const { return streamedDataSize > 0; }

    OverwriteMode Overwrite() const { return OverwriteMode(flags & EntryFlags::kOverwriteMask); }
    bool HasShortcutName() const { return (flags & EntryFlags::kShortcutMask) != 0; }
};

// Reads one item record whose data field is `dataSize` bytes long (its item
// size table entry). Returns 0, or 70 (name missing or empty), 71 (size entry
// negative, or the record ends before the data field), 72 (size entry above
// 0x40000000, or the data runs past the record), 100 (data checksum missing or
// wrong). `entry.data` points into `record`.
int ReadFileEntry(ByteView record, std::int32_t dataSize, FileEntry& entry);

// Reads fields 1 to 11 of a record (all but the data and its checksum);
// `fieldsEnd` says where they end. Returns 0, 70 or 71 as above.
int ReadEntryFields(ByteView record, FileEntry& entry, std::size_t& fieldsEnd);

}  // namespace palisade
