// The walk over the archive's items: chunks decoded as they are consumed, records into entries.
#include "payload/item_walker.h"

#include <algorithm>
#include <optional>

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/little_endian.h"

namespace palisade {
namespace {

std::size_t ItemCountOf(const PayloadHeader& header) {
    return header.itemCount > 0 ? static_cast<std::size_t>(header.itemCount) : 0;
}

// The most the header's items can take, records and all.
std::uint64_t RecordAllowanceOf(const PayloadHeader& header) {
    return header.TotalItemSize() + std::uint64_t(ItemCountOf(header)) * (4 + kMaxRecordFields);
}

}  // namespace

int ItemProgressPercent(std::size_t index, std::size_t count) {
    if (count == 0) return FatalCode::kItemSize;
    return static_cast<int>(28 + std::uint64_t(index) * 62 / count);
}

ItemWalker::ItemWalker(const PayloadHeader& header, ByteView archive, const PayloadCipher& cipher,
                       bool chunksCompressed)
    : m_header(header),
      m_cipher(cipher),
      m_inMemory(std::make_unique<ViewByteSource>(archive)),
      m_source(m_inMemory.get()),
      m_position(0),
      m_end(archive.size),
      m_chunksCompressed(chunksCompressed),
      m_itemCount(ItemCountOf(header)),
      m_recordAllowance(RecordAllowanceOf(header)) {}

ItemWalker::ItemWalker(const PayloadHeader& header, const ByteSource& source, std::uint64_t position,
                       std::uint64_t length, const PayloadCipher& cipher, bool chunksCompressed)
    : m_header(header),
      m_cipher(cipher),
      m_source(&source),
      m_position(position),
      m_end(position + length),
      m_chunksCompressed(chunksCompressed),
      m_itemCount(ItemCountOf(header)),
      m_recordAllowance(RecordAllowanceOf(header)) {}

ItemStep ItemWalker::Next(FileEntry& entry) {
    if (m_stopped) return m_final;
    entry = FileEntry();
    // What the caller left of a streamed item's data is read and checked.
    if (int code = FinishStreamedData()) return Stop(WalkStatus::Failed, code);
    // The previous item's record is done with: free it before decoding more.
    m_record = std::vector<std::uint8_t>();
    if (m_nextIndex == m_itemCount) {
        int code = CheckNothingLeft();
        return Stop(code ? WalkStatus::Failed : WalkStatus::Finished, code);
    }
    if (m_nextIndex >= m_header.itemSizes.size()) return Stop(WalkStatus::Failed, FatalCode::kItemSizeEntry);
    std::uint32_t length = 0;
    if (int code = ReadLengthField(length)) return Stop(WalkStatus::Failed, code);
    // A record far longer than its item's data is damaged: refused before
    // memory is claimed or chunks are read for it.
    const std::uint64_t longestRecord = std::uint64_t(std::max(m_header.itemSizes[m_nextIndex], 0)) + kMaxRecordFields;
    if (length > longestRecord) return Stop(WalkStatus::Failed, FatalCode::kItemDataSize);
    if (int code = ReadRecord(length, entry)) {
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

// The record whole, or for a large item its fields only: a record laid out
// as the builder writes it (fields, data, checksum and nothing after) has its
// data left in the archive for ReadData. Any other is read whole, which gives
// its failure the same code as a small item's.
int ItemWalker::ReadRecord(std::uint32_t length, FileEntry& entry) {
    const std::int32_t dataSize = m_header.itemSizes[m_nextIndex];
    const bool large = m_streamFrom > 0 && dataSize > 0 && std::size_t(dataSize) >= m_streamFrom &&
                       dataSize <= kMaxItemSize && length >= std::uint64_t(dataSize) + 4;
    std::size_t fieldsLength = large ? length - std::uint32_t(dataSize) - 4 : length;
    m_record.resize(fieldsLength);
    if (int code = ReadAcrossChunks(m_record.data(), fieldsLength)) return code;
    if (large) {
        std::size_t fieldsEnd = 0;
        if (ReadEntryFields(m_record, entry, fieldsEnd) == 0 && fieldsEnd == fieldsLength) {
            entry.streamedDataSize = std::uint32_t(dataSize);
            m_dataLeft = std::uint64_t(dataSize);
            m_dataCrc = 0;
            m_checksumPending = true;
            return 0;
        }
        m_record.resize(length);
        if (int code = ReadAcrossChunks(m_record.data() + fieldsLength, length - fieldsLength)) return code;
    }
    return ReadFileEntry(m_record, dataSize, entry);
}

int ItemWalker::ReadData(std::uint8_t* out, std::size_t length, std::size_t& produced) {
    produced = 0;
    if (m_stopped) return m_final.status == WalkStatus::Failed ? m_final.errorCode : 0;
    std::size_t wanted = std::size_t(std::min<std::uint64_t>(length, m_dataLeft));
    if (wanted > 0) {
        if (int code = ReadAcrossChunks(out, wanted)) return Stop(WalkStatus::Failed, code).errorCode;
        m_dataCrc = Crc32(m_dataCrc, out, wanted);
        m_dataLeft -= wanted;
        produced = wanted;
    }
    if (m_dataLeft == 0 && m_checksumPending) {
        std::uint8_t field[4];
        if (int code = ReadAcrossChunks(field, sizeof field)) return Stop(WalkStatus::Failed, code).errorCode;
        m_checksumPending = false;
        if (LoadU32(field) != m_dataCrc) return Stop(WalkStatus::Failed, FatalCode::kItemChecksum).errorCode;
    }
    return 0;
}

int ItemWalker::FinishStreamedData() {
    std::vector<std::uint8_t> scratch;
    while (m_checksumPending) {
        if (scratch.empty()) scratch.resize(std::size_t(std::min<std::uint64_t>(m_dataLeft, 1u << 16)) + 1);
        std::size_t produced = 0;
        if (int code = ReadData(scratch.data(), scratch.size(), produced)) return code;
    }
    return 0;
}

// A record's 4-byte length lies within one chunk; chunks that yield nothing are passed over.
int ItemWalker::ReadLengthField(std::uint32_t& length) {
    std::uint8_t field[4];
    for (;;) {
        std::size_t produced = 0;
        if (int code = m_chunk.Read(field, sizeof field, produced)) return code;
        if (produced == sizeof field) break;
        // A field cut by the chunk's end is never recognised: the archive is damaged.
        if (produced > 0) return FatalCode::kChunkSize;
        if (int code = LoadChunk()) return code;
    }
    length = LoadU32(field);
    return 0;
}

// A record may run on across chunks.
int ItemWalker::ReadAcrossChunks(std::uint8_t* out, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        std::size_t produced = 0;
        if (int code = m_chunk.Read(out + done, length - done, produced)) return code;
        done += produced;
        if (done < length) {
            if (int code = LoadChunk()) return code;
        }
    }
    return 0;
}

int ItemWalker::LoadChunk() {
    m_decodedBytes += m_chunk.Produced();
    m_chunk.Close();
    std::uint64_t remaining = m_end - m_position;
    std::optional<std::uint32_t> storedField = remaining >= 4 ? m_source->ReadU32(m_position) : std::nullopt;
    auto storedSize = std::int32_t(storedField.value_or(0));
    if (storedSize <= 0) return FatalCode::kChunkSize;
    std::optional<std::uint32_t> checksum = remaining >= 8 ? m_source->ReadU32(m_position + 4) : std::nullopt;
    if (!checksum || std::uint64_t(storedSize) > remaining - 8) return FatalCode::kChunkBeyondArchive;
    std::uint64_t stored = m_position + 8;
    m_position = stored + std::uint64_t(storedSize);
    std::optional<std::uint32_t> actual = Crc32OfRange(*m_source, stored, std::uint64_t(storedSize));
    if (!actual) return FatalCode::kArchiveAvailable;
    if (*actual != *checksum) return FatalCode::kChunkChecksum;

    // No chunk decodes to more than a builder puts in one, nor to more than
    // the items the header announces can hold: beyond that it is damaged,
    // however much it would unpack to.
    std::uint64_t limit = std::min(kMaxChunkContent, m_recordAllowance - std::min(m_recordAllowance, m_decodedBytes));
    return m_chunk.Open(*m_source, stored, std::size_t(storedSize), m_cipher, m_chunksCompressed, limit);
}

int ItemWalker::CheckNothingLeft() {
    // Undecoded archive bytes, and decoded bytes that no item took, are both left over.
    std::uint8_t probe = 0;
    std::size_t produced = 0;
    if (int code = m_chunk.Read(&probe, 1, produced)) return code;
    return produced == 0 && m_position == m_end ? 0 : FatalCode::kArchiveLeftOver;
}

ItemStep ItemWalker::Stop(WalkStatus status, int code) {
    m_stopped = true;
    m_checksumPending = false;
    m_dataLeft = 0;
    m_record = std::vector<std::uint8_t>();
    m_final.status = status;
    m_final.errorCode = code;
    return m_final;
}

}  // namespace palisade
