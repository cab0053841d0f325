// The builder's side of the item stream: item records and their cutting into chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "payload/file_entry.h"

namespace palisade {

// One item as the builder hands it over: every field of the item record and the data.
struct PayloadItem {
    std::string name;
    EntryKind kind = EntryKind::File;
    std::uint32_t flags = 0;
    std::int32_t attributes = -1;
    FileTimeStamp timeStamp;
    std::string info;
    std::u16string shortcutName;  // stored only when flags & 0x03
    std::string arguments;
    std::u16string destinationOverride;
    std::string extra;
    std::int32_t msiUiLevel = 0;  // stored only for kind 11
    std::vector<std::uint8_t> data;
};

// An error text for an item the record cannot hold (empty name, a NUL inside
// a text, data above 0x40000000 bytes); empty when the item is fine.
std::string ValidatePayloadItem(const PayloadItem& item);

// The item stream as pieces in order: each item's u32 record length and
// fields 1 to 11, its data (pointing into the item, not copied) and its data
// checksum. The items must outlive the stream.
class ItemStream {
public:
    explicit ItemStream(const std::vector<PayloadItem>& items);

    std::size_t Length() const { return m_length; }
    // Stream offsets of the records' 4-byte length fields, ascending.
    const std::vector<std::size_t>& LengthFieldOffsets() const { return m_lengthFields; }
    // Copies `length` stream bytes from `offset` into `out` (replacing its contents).
    void CopyRange(std::size_t offset, std::size_t length, std::vector<std::uint8_t>& out) const;

private:
    struct Piece {
        std::size_t offset;  // in the stream
        const std::uint8_t* data;
        std::size_t size;
    };
    void AddPiece(const std::uint8_t* data, std::size_t size);

    std::vector<std::vector<std::uint8_t>> m_ownedFields;  // length fields, fields 1-11, checksums
    std::vector<Piece> m_pieces;
    std::vector<std::size_t> m_lengthFields;
    std::size_t m_length = 0;
};

// Fields 1 to 11 of an item record (without the data and its checksum).
std::vector<std::uint8_t> EncodeItemFields(const PayloadItem& item);

// Cuts a stream of `length` bytes into (offset, length) chunks of at most
// `chunkSize` bytes, except that a record's 4-byte length field is never cut:
// the chunk then ends before it, or, if the field opens the chunk, just after it.
std::vector<std::pair<std::size_t, std::size_t>> SplitItemStream(std::size_t length,
                                                                  const std::vector<std::size_t>& lengthFields,
                                                                  std::size_t chunkSize);

}  // namespace palisade
