// The walk over the archive's items: chunks into the item queue, records into entries.
#include "payload/item_walker.h"

#include <algorithm>

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/xz_codec.h"

namespace palisade {
namespace {


}  // namespace

int ItemProgressPercent(std::size_t index, std::size_t count) {
    if (count == 0) return FatalCode::kItemSize;
    return static_cast<int>(28 + std::uint64_t(index) * 62 / count);
}

ItemWalker::ItemWalker(const PayloadHeader& header, ByteView archive, const PayloadCipher& cipher,
                       bool chunksCompressed)
    : m_header(header),
      m_cipher(cipher),
      m_archive(archive),
      m_chunksCompressed(chunksCompressed),
      m_itemCount(header.itemCount > 0 ? static_cast<std::size_t>(header.itemCount) : 0),
      m_recordAllowance(header.TotalItemSize() + std::uint64_t(m_itemCount) * (4 + kMaxRecordFields)) {}

ItemStep ItemWalker::Next(FileEntry& entry) {
    if (m_stopped) return m_final;
    entry = FileEntry();
    // The previous item's record is done with: free it before loading more chunks.
    m_record = std::vector<std::uint8_t>();
    if (m_nextIndex == m_itemCount) {
        int code = CheckNothingLeft();
        return Stop(code ? WalkStatus::Failed : WalkStatus::Finished, code);
    }
    if (m_nextIndex >= m_header.itemSizes.size()) return Stop(WalkStatus::Failed, FatalCode::kItemSizeEntry);
    const std::uint64_t longestRecord = std::uint64_t(std::max(m_header.itemSizes[m_nextIndex], 0)) + kMaxRecordFields;
    while (!m_queue.TakeRecord(m_record)) {
        // A record far longer than its item's data is damaged: refused before
        // chunks pile up for it.
        if (std::optional<std::uint32_t> length = m_queue.NextRecordLength(); length && *length > longestRecord) {
            return Stop(WalkStatus::Failed, FatalCode::kItemDataSize);
        }
        if (int code = LoadChunk()) return Stop(WalkStatus::Failed, code);
    }
    if (int code = ReadFileEntry(m_record, m_header.itemSizes[m_nextIndex], entry)) {
        entry = FileEntry();
        return Stop(WalkStatus::Failed, code);
    }
    ItemStep step;
    step.status = WalkStatus::Item;
    step.index = m_nextIndex;
    step.progressPercent = ItemProgressPercent(m_nextIndex, m_itemCount);
    ++m_nextIndex;
    return step;
}

int ItemWalker::LoadChunk() {
    auto storedSize = m_archive.ReadI32();
    if (!storedSize || *storedSize <= 0) return FatalCode::kChunkSize;
    auto checksum = m_archive.ReadU32();
    if (!checksum || static_cast<std::size_t>(*storedSize) > m_archive.Remaining()) return FatalCode::kChunkBeyondArchive;
    ByteView stored = *m_archive.ReadBytes(static_cast<std::size_t>(*storedSize));
    if (Crc32(stored.data, stored.size) != *checksum) return FatalCode::kChunkChecksum;

    // No chunk decodes to more than a builder puts in one, nor to more than
    // the items the header announces can hold: beyond that it is damaged,
    // however much it would unpack to.
    std::uint64_t limit = std::min(kMaxChunkContent, m_recordAllowance - std::min(m_recordAllowance, m_decodedBytes));
    std::vector<std::uint8_t> chunk;
    if (m_chunksCompressed && !m_cipher.IsActive()) {
        // Decoded from where the chunk is stored: no copy of the stored bytes.
        if (!XzDecode(stored.data, stored.size, chunk, {}, limit)) return FatalCode::kChunkNotDecompressed;
    } else {
        chunk = stored.Copy();
        m_cipher.Decipher(chunk);
        if (m_chunksCompressed && !XzDecompress(chunk, {}, limit)) return FatalCode::kChunkNotDecompressed;
    }
    if (chunk.size() > limit) return FatalCode::kArchiveLeftOver;
    m_decodedBytes += chunk.size();
    m_queue.Append(std::move(chunk));
    return 0;
}

int ItemWalker::CheckNothingLeft() const {
    // Undecoded archive bytes, and decoded bytes that no item took, are both left over.
    return m_archive.AtEnd() && m_queue.BufferedBytes() == 0 ? 0 : FatalCode::kArchiveLeftOver;
}

ItemStep ItemWalker::Stop(WalkStatus status, int code) {
    m_stopped = true;
    m_record = std::vector<std::uint8_t>();
    m_final.status = status;
    m_final.errorCode = code;
    return m_final;
}

}  // namespace palisade
