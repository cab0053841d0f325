// The queue of decoded archive chunks from which item records are taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace palisade {

// A first-in-first-out list of decoded chunks and a read offset into the front
// one. A record is a little-endian u32 length L followed by L bytes; records
// may run across chunks, but the 4-byte length must lie in one chunk.
class ItemByteQueue {
public:
    // Adds a decoded chunk at the back; an empty chunk adds nothing.
    void Append(std::vector<std::uint8_t> chunk);

    // Takes the next record when the front chunk holds at least 4 unread bytes
    // (the length L) and the queue holds at least L bytes after them. Otherwise
    // consumes nothing and returns false. Fully read chunks are released at once.
    bool TakeRecord(std::vector<std::uint8_t>& record);

    // The length L of the next record once the front chunk holds its field,
    // so that a length beyond reason is refused before bytes pile up for it.
    std::optional<std::uint32_t> NextRecordLength() const;

    // Unread bytes in all chunks.
    std::size_t BufferedBytes() const { return m_unreadBytes; }

private:
    static constexpr std::size_t kLengthField = 4;
    std::size_t FrontUnread() const { return m_chunks.front().size() - m_frontOffset; }
    void Consume(std::size_t length);
    void CopyOut(std::uint8_t* destination, std::size_t length);

    std::deque<std::vector<std::uint8_t>> m_chunks;
    std::size_t m_frontOffset = 0;
    std::size_t m_unreadBytes = 0;
};

}  // namespace palisade
