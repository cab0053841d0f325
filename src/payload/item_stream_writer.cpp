// The builder's side of the item stream: item records and their cutting into chunks.
#include "payload/item_stream_writer.h"

#include <algorithm>
#include <cstring>

#include "payload/crc32.h"
#include "payload/little_endian.h"
#include "payload/payload_header.h"

namespace palisade {
namespace {

void AppendNarrow(std::vector<std::uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void AppendWide(std::vector<std::uint8_t>& out, const std::u16string& text) {
    for (char16_t unit : text) {
        out.push_back(std::uint8_t(unit));
        out.push_back(std::uint8_t(unit >> 8));
    }
    out.push_back(0);
    out.push_back(0);
}

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }
bool HasNul(const std::u16string& text) { return text.find(u'\0') != std::u16string::npos; }

}  // namespace

std::string ValidatePayloadItem(const PayloadItem& item) {
    if (item.name.empty()) return "an item has an empty name";
    if (HasNul(item.name) || HasNul(item.info) || HasNul(item.shortcutName) || HasNul(item.arguments) ||
        HasNul(item.destinationOverride) || HasNul(item.extra)) {
        return "item \"" + item.name.substr(0, item.name.find('\0')) + "\" holds a NUL character in a text field";
    }
    if (item.data.size() > std::size_t(kMaxItemSize)) {
        return "item \"" + item.name + "\" is larger than 1 GiB";
    }
    return {};
}

std::vector<std::uint8_t> EncodeItemFields(const PayloadItem& item) {
    std::vector<std::uint8_t> out;
    AppendNarrow(out, item.name);
    AppendI32(out, static_cast<std::int32_t>(item.kind));
    AppendU32(out, item.flags);
    AppendI32(out, item.attributes);
    for (std::int32_t part : {item.timeStamp.year, item.timeStamp.month, item.timeStamp.day, item.timeStamp.hour,
                              item.timeStamp.minute, item.timeStamp.second}) {
        AppendI32(out, part);
    }
    AppendNarrow(out, item.info);
    if (item.flags & EntryFlags::kShortcutMask) AppendWide(out, item.shortcutName);
    AppendNarrow(out, item.arguments);
    AppendWide(out, item.destinationOverride);
    AppendNarrow(out, item.extra);
    if (item.kind == EntryKind::MsiPackage) AppendI32(out, item.msiUiLevel);
    return out;
}

ItemStream::ItemStream(const std::vector<PayloadItem>& items) {
    // Pieces point into these buffers; reserving keeps them where they are.
    m_ownedFields.reserve(items.size() * 2);
    for (const PayloadItem& item : items) {
        std::vector<std::uint8_t> fields = EncodeItemFields(item);
        std::vector<std::uint8_t> head;
        AppendU32(head, std::uint32_t(fields.size() + item.data.size() + 4));
        head.insert(head.end(), fields.begin(), fields.end());
        std::vector<std::uint8_t> checksum;
        AppendU32(checksum, Crc32(item.data));

        m_lengthFields.push_back(m_length);
        m_ownedFields.push_back(std::move(head));
        AddPiece(m_ownedFields.back().data(), m_ownedFields.back().size());
        AddPiece(item.data.data(), item.data.size());
        m_ownedFields.push_back(std::move(checksum));
        AddPiece(m_ownedFields.back().data(), m_ownedFields.back().size());
    }
}

void ItemStream::AddPiece(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    m_pieces.push_back({m_length, data, size});
    m_length += size;
}

void ItemStream::CopyRange(std::size_t offset, std::size_t length, std::vector<std::uint8_t>& out) const {
    out.resize(length);
    // The first piece that ends after `offset`.
    auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), offset,
                                  [](std::size_t at, const Piece& p) { return at < p.offset + p.size; });
    std::size_t written = 0;
    for (; written < length && piece != m_pieces.end(); ++piece) {
        std::size_t from = offset + written - piece->offset;
        std::size_t part = std::min(piece->size - from, length - written);
        std::memcpy(out.data() + written, piece->data + from, part);
        written += part;
    }
    out.resize(written);
}

std::vector<std::pair<std::size_t, std::size_t>> SplitItemStream(std::size_t length,
                                                                  const std::vector<std::size_t>& lengthFields,
                                                                  std::size_t chunkSize) {
    constexpr std::size_t kLengthFieldSize = 4;
    chunkSize = std::max<std::size_t>(chunkSize, 1);
    std::vector<std::pair<std::size_t, std::size_t>> chunks;
    for (std::size_t start = 0; start < length;) {
        std::size_t end = start + std::min(chunkSize, length - start);
        // The last length field that starts before `end`: is it cut?
        auto field = std::lower_bound(lengthFields.begin(), lengthFields.end(), end);
        if (end < length && field != lengthFields.begin()) {
            std::size_t fieldStart = *std::prev(field);
            if (end < fieldStart + kLengthFieldSize) {
                end = fieldStart > start ? fieldStart : fieldStart + kLengthFieldSize;
            }
        }
        chunks.emplace_back(start, end - start);
        start = end;
    }
    return chunks;
}

}  // namespace palisade
