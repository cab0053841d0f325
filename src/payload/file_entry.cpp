// One archive item (`FileEntry`) and the reading of its item record.
#include "payload/file_entry.h"

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/payload_cursor.h"
#include "payload/payload_header.h"

namespace palisade {
namespace {

constexpr std::int32_t kMsiPackageKind = static_cast<std::int32_t>(EntryKind::MsiPackage);

FileTimeStamp ReadTimeStamp(ByteView block) {
    PayloadCursor cursor(block);
    FileTimeStamp stamp;
    stamp.year = *cursor.ReadI32();
    stamp.month = *cursor.ReadI32();
    stamp.day = *cursor.ReadI32();
    stamp.hour = *cursor.ReadI32();
    stamp.minute = *cursor.ReadI32();
    stamp.second = *cursor.ReadI32();
    return stamp;
}

// Fields 2 to 11. False when the record ends inside them.
bool ReadDescription(PayloadCursor& cursor, FileEntry& entry) {
    auto kind = cursor.ReadI32();
    auto flags = cursor.ReadU32();
    auto attributes = cursor.ReadI32();
    auto stamp = cursor.ReadBytes(kFileTimeStampSize);
    if (!kind || !flags || !attributes || !stamp) return false;
    entry.kind = static_cast<EntryKind>(*kind);
    entry.flags = *flags;
    entry.attributes = *attributes;
    entry.timeStamp = ReadTimeStamp(*stamp);

    auto info = cursor.ReadNarrowString();
    if (!info) return false;
    entry.info = std::string(*info);
    if (entry.HasShortcutName()) {
        entry.shortcutName = cursor.ReadWideString();
        if (!entry.shortcutName) return false;
    }
    auto arguments = cursor.ReadNarrowString();
    auto destination = arguments ? cursor.ReadWideString() : std::nullopt;
    auto extra = destination ? cursor.ReadNarrowString() : std::nullopt;
    if (!extra) return false;
    entry.arguments = std::string(*arguments);
    entry.destinationOverride = std::move(*destination);
    entry.extra = std::string(*extra);
    if (*kind == kMsiPackageKind) {
        entry.msiUiLevel = cursor.ReadI32();
        if (!entry.msiUiLevel) return false;
    }
    return true;
}

}  // namespace

int ReadEntryFields(ByteView record, FileEntry& entry, std::size_t& fieldsEnd) {
    entry = FileEntry();
    PayloadCursor cursor(record);
    auto name = cursor.ReadNarrowString();
    if (!name || name->empty()) return FatalCode::kItemNameEmpty;
    entry.name = std::string(*name);
    if (!ReadDescription(cursor, entry)) return FatalCode::kItemSizeEntry;
    fieldsEnd = cursor.Offset();
    return 0;
}

int ReadFileEntry(ByteView record, std::int32_t dataSize, FileEntry& entry) {
    std::size_t fieldsEnd = 0;
    if (int code = ReadEntryFields(record, entry, fieldsEnd)) return code;
    PayloadCursor cursor(record.Sub(fieldsEnd));
    if (dataSize < 0) return FatalCode::kItemSizeEntry;
    if (dataSize > kMaxItemSize) return FatalCode::kItemDataSize;
    auto data = cursor.ReadBytes(static_cast<std::size_t>(dataSize));
    if (!data) return FatalCode::kItemDataSize;
    entry.data = *data;
    auto checksum = cursor.ReadU32();
    if (!checksum || *checksum != Crc32(data->data, data->size)) return FatalCode::kItemChecksum;
    entry.dataChecksum = *checksum;
    return 0;
}

}  // namespace palisade
