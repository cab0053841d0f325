// One archive chunk's content, produced as it is asked for.
#include "payload/chunk_stream.h"

#include <algorithm>

#include "core/fatal_codes.h"
#include "payload/xz_codec.h"

namespace palisade {
namespace {

// Large enough that reading the file costs few calls, small beside the dictionary.
constexpr std::size_t kInputPiece = 256u << 10;
// The tail read to find what a stream's index promises: the footer and an
// index of a few thousand blocks. A longer index is simply not consulted.
constexpr std::size_t kIndexTail = 64u << 10;

}  // namespace

int ChunkStream::Open(const ByteSource& archive, std::uint64_t position, std::size_t storedSize,
                      const PayloadCipher& cipher, bool compressed, std::uint64_t limit) {
    Close();
    m_source = &archive;
    m_next = position;
    m_end = position + storedSize;
    m_compressed = compressed;
    m_limit = limit;
    if (cipher.IsActive()) {
        m_plain.resize(storedSize);
        if (!archive.ReadAt(position, m_plain.data(), storedSize)) return FatalCode::kArchiveAvailable;
        cipher.Decipher(m_plain);
        m_plainSource = ViewByteSource(ByteView(m_plain));
        m_source = &m_plainSource;
        m_next = 0;
        m_end = m_plain.size();
    }
    if (!m_compressed) return m_end - m_next > m_limit ? FatalCode::kArchiveLeftOver : 0;
    if (m_end == m_next) {
        m_ended = true;  // nothing stored decodes to nothing
        return 0;
    }
    // A chunk that says it unpacks beyond what its items can hold is refused
    // before any of it is handed over; one that lies is stopped while decoding.
    if (PromisesMoreThanLimit()) return FatalCode::kChunkNotDecompressed;
    if (lzma_stream_decoder(m_decoder.get(), kXzDecoderMemoryLimit, LZMA_CONCATENATED) != LZMA_OK) {
        return FatalCode::kChunkNotDecompressed;
    }
    m_decoder->next_in = nullptr;
    m_decoder->avail_in = 0;
    m_input.resize(kInputPiece);
    return 0;
}

bool ChunkStream::PromisesMoreThanLimit() const {
    std::size_t tailSize = std::size_t(std::min<std::uint64_t>(m_end - m_next, kIndexTail));
    std::vector<std::uint8_t> tail(tailSize);
    if (!m_source->ReadAt(m_end - tailSize, tail.data(), tailSize)) return false;
    std::optional<std::uint64_t> promised = XzPromisedSize(tail.data(), tail.size());
    return promised && *promised > m_limit;
}

int ChunkStream::Read(std::uint8_t* out, std::size_t length, std::size_t& produced) {
    produced = 0;
    if (!IsOpen() || length == 0) return 0;
    int code = m_compressed ? Decode(out, length, produced) : ReadStored(out, length, produced);
    m_produced += produced;
    return code;
}

int ChunkStream::ReadStored(std::uint8_t* out, std::size_t length, std::size_t& produced) {
    produced = std::size_t(std::min<std::uint64_t>(length, m_end - m_next));
    if (!m_source->ReadAt(m_next, out, produced)) {
        produced = 0;
        return FatalCode::kArchiveAvailable;
    }
    m_next += produced;
    return 0;
}

int ChunkStream::Decode(std::uint8_t* out, std::size_t length, std::size_t& produced) {
    lzma_stream* stream = m_decoder.get();
    stream->next_out = out;
    stream->avail_out = length;
    while (!m_ended && stream->avail_out > 0) {
        if (stream->avail_in == 0 && m_next < m_end) {
            std::size_t piece = std::size_t(std::min<std::uint64_t>(m_input.size(), m_end - m_next));
            if (!m_source->ReadAt(m_next, m_input.data(), piece)) return FatalCode::kArchiveAvailable;
            m_next += piece;
            stream->next_in = m_input.data();
            stream->avail_in = piece;
        }
        lzma_ret result = lzma_code(stream, m_next == m_end ? LZMA_FINISH : LZMA_RUN);
        if (stream->total_out > m_limit) return FatalCode::kChunkNotDecompressed;
        if (result == LZMA_STREAM_END) {
            m_ended = true;
        } else if (result != LZMA_OK) {
            return FatalCode::kChunkNotDecompressed;
        }
    }
    produced = length - stream->avail_out;
    return 0;
}

void ChunkStream::Close() {
    m_source = nullptr;
    m_plain = std::vector<std::uint8_t>();
    m_plainSource = ViewByteSource(ByteView());
    m_ended = false;
    m_produced = 0;
    m_next = m_end = 0;
}

}  // namespace palisade
