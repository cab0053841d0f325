// The queue of decoded archive chunks from which item records are taken.
#include "payload/item_queue.h"

#include <algorithm>
#include <cstring>

namespace palisade {

void ItemByteQueue::Append(std::vector<std::uint8_t> chunk) {
    if (chunk.empty()) return;
    m_unreadBytes += chunk.size();
    m_chunks.push_back(std::move(chunk));
}

std::optional<std::uint32_t> ItemByteQueue::NextRecordLength() const {
    if (m_chunks.empty() || FrontUnread() < kLengthField) return std::nullopt;
    const std::uint8_t* field = m_chunks.front().data() + m_frontOffset;
    return std::uint32_t(field[0]) | std::uint32_t(field[1]) << 8 | std::uint32_t(field[2]) << 16 |
           std::uint32_t(field[3]) << 24;
}

bool ItemByteQueue::TakeRecord(std::vector<std::uint8_t>& record) {
    std::optional<std::uint32_t> nextLength = NextRecordLength();
    if (!nextLength) return false;
    std::uint64_t length = *nextLength;
    if (m_unreadBytes - kLengthField < length) return false;

    Consume(kLengthField);
    auto recordLength = static_cast<std::size_t>(length);
    if (!m_chunks.empty() && recordLength > 0 && recordLength == FrontUnread() && m_frontOffset <= recordLength) {
        // The record ends the front chunk: reuse its storage instead of holding
        // the chunk and a copy of it at once (only when the bytes already read
        // are not the bulk of it, or the record would keep that dead capacity).
        std::vector<std::uint8_t> chunk = std::move(m_chunks.front());
        m_chunks.pop_front();
        chunk.erase(chunk.begin(), chunk.begin() + std::ptrdiff_t(m_frontOffset));
        m_frontOffset = 0;
        m_unreadBytes -= recordLength;
        record = std::move(chunk);
        return true;
    }
    record.assign(recordLength, 0);
    CopyOut(record.data(), recordLength);
    return true;
}

void ItemByteQueue::CopyOut(std::uint8_t* destination, std::size_t length) {
    while (length > 0) {
        std::size_t part = std::min(length, FrontUnread());
        std::memcpy(destination, m_chunks.front().data() + m_frontOffset, part);
        destination += part;
        length -= part;
        Consume(part);
    }
}

void ItemByteQueue::Consume(std::size_t length) {
    m_frontOffset += length;
    m_unreadBytes -= length;
    if (m_frontOffset == m_chunks.front().size()) {
        m_chunks.pop_front();
        m_frontOffset = 0;
    }
}

}  // namespace palisade

