// The walk over the archive's items: chunks decoded as they are consumed, records into entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/byte_source.h"
#include "core/byte_view.h"
#include "payload/chunk_stream.h"
#include "payload/file_entry.h"
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

// Items whose data is at least this large are not held whole (see ItemWalker).
inline constexpr std::size_t kStreamedDataFrom = 1u << 20;

// Yields the items of a checked archive in order. The header, the archive
// and the cipher must outlive the walker. Holds the current record and one
// chunk's decoder, never a whole chunk: each record is decoded straight into
// its own buffer. An entry's data points into that record and stays valid
// until the next call of Next.
//
// An item whose data is large (kStreamedDataFrom) comes without it
// (FileEntry::IsStreamed): its data is read in pieces with ReadData, so that
// the memory is the dictionary plus a piece, whatever the largest file. What
// the caller does not read is read and checked by the next call of Next.
class ItemWalker {
public:
    // The archive in memory.
    ItemWalker(const PayloadHeader& header, ByteView archive, const PayloadCipher& cipher, bool chunksCompressed);
    // The archive as `length` bytes of `source` from `position`, read as it is consumed.
    ItemWalker(const PayloadHeader& header, const ByteSource& source, std::uint64_t position, std::uint64_t length,
               const PayloadCipher& cipher, bool chunksCompressed);

    // The next item, or Finished after the last (80 when archive bytes are
    // left over), or Failed with the code of the first failed check. Once
    // Finished or Failed, it stays so.
    ItemStep Next(FileEntry& entry);

    // Up to `length` more bytes of the current streamed item's data into
    // `out`; `produced` is 0 once it has all been read. The data's checksum
    // is checked as its last bytes are read: 0, or the code of the failure
    // (100 for a wrong checksum, or what decoding the chunks gave), after
    // which the walk is stopped.
    int ReadData(std::uint8_t* out, std::size_t length, std::size_t& produced);

    // The CRC-32 of the streamed data read so far: its checksum once all is read.
    std::uint32_t DataChecksum() const { return m_dataCrc; }

    // Items whose data is at least `bytes` long are streamed (0: none).
    void StreamDataFrom(std::size_t bytes) { m_streamFrom = bytes; }

private:
    int ReadRecord(std::uint32_t length, FileEntry& entry);
    int FinishStreamedData();
    int ReadLengthField(std::uint32_t& length);
    int ReadAcrossChunks(std::uint8_t* out, std::size_t length);
    int LoadChunk();
    int CheckNothingLeft();
    ItemStep Stop(WalkStatus status, int code);

    const PayloadHeader& m_header;
    const PayloadCipher& m_cipher;
    std::unique_ptr<ViewByteSource> m_inMemory;  // the source, when the archive was given as bytes
    const ByteSource* m_source;
    std::uint64_t m_position;  // of the next chunk's frame
    std::uint64_t m_end;
    bool m_chunksCompressed;
    std::size_t m_itemCount;
    std::uint64_t m_recordAllowance;  // the most the header's items can take, records and all
    std::size_t m_nextIndex = 0;
    ChunkStream m_chunk;
    std::uint64_t m_decodedBytes = 0;  // what the chunks before the current one held
    std::vector<std::uint8_t> m_record;
    std::size_t m_streamFrom = kStreamedDataFrom;
    std::uint64_t m_dataLeft = 0;   // of the streamed item's data, not yet read
    std::uint32_t m_dataCrc = 0;    // of its data read so far
    bool m_checksumPending = false; // the streamed item's checksum is still to be read
    bool m_stopped = false;
    ItemStep m_final;
};

}  // namespace palisade
