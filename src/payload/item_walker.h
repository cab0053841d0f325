// The walk over the archive's items: chunks into the item queue, records into entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/byte_view.h"
#include "payload/file_entry.h"
#include "payload/item_queue.h"
#include "payload/payload_cursor.h"
#include "payload/payload_decoder.h"
#include "payload/payload_header.h"

namespace palisade {

enum class WalkStatus { Item, Finished, Failed };

struct ItemStep {
    WalkStatus status = WalkStatus::Failed;
    int errorCode = 0;            // when Failed
    std::size_t index = 0;        // of the item, when Item
    int progressPercent = 0;      // to report before the item is installed
};

// Percent of the progress bar shown before item `index` of `count`.
int ItemProgressPercent(std::size_t index, std::size_t count);

// Yields the items of a checked archive in order. The header, the archive
// bytes and the cipher must outlive the walker. Holds only the decoded chunks
// that the next record needs and the current record; an entry's data points
// into that record and stays valid until the next call of Next.
class ItemWalker {
public:
    ItemWalker(const PayloadHeader& header, ByteView archive, const PayloadCipher& cipher, bool chunksCompressed);

    // The next item, or Finished after the last (80 when archive bytes are
    // left over), or Failed with the code of the first failed check. Once
    // Finished or Failed, it stays so.
    ItemStep Next(FileEntry& entry);

private:
    int LoadChunk();
    int CheckNothingLeft() const;
    ItemStep Stop(WalkStatus status, int code);

    const PayloadHeader& m_header;
    const PayloadCipher& m_cipher;
    PayloadCursor m_archive;
    bool m_chunksCompressed;
    std::size_t m_itemCount;
    std::uint64_t m_recordAllowance;  // the most the header's items can take, records and all
    std::size_t m_nextIndex = 0;
    ItemByteQueue m_queue;
    std::uint64_t m_decodedBytes = 0;  // what the chunks decoded so far held
    std::vector<std::uint8_t> m_record;
    bool m_stopped = false;
    ItemStep m_final;
};

}  // namespace palisade
