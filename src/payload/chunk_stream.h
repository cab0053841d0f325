// One archive chunk's content, produced as it is asked for: the stored bytes
// read in pieces, deciphered, decoded straight into the caller's buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/byte_source.h"
#include "payload/lzma_stream.h"
#include "payload/payload_decoder.h"

namespace palisade {

// The installer's memory for a chunk is the decoder's dictionary and one
// input piece, whatever the chunk's size; a ciphered chunk is the exception:
// its framing is read from its end, so it is held (stored size) once.
class ChunkStream {
public:
    // Starts on the chunk of `storedSize` bytes at `position` of `archive`
    // (its checksum already checked). `limit` bounds what it may decode to.
    // 0, or the code of the failure: 80 (an uncompressed chunk beyond the
    // limit), 60 (a compressed one whose index promises more), 46 (a read failed).
    int Open(const ByteSource& archive, std::uint64_t position, std::size_t storedSize, const PayloadCipher& cipher,
             bool compressed, std::uint64_t limit);

    // Up to `length` more bytes into `out`; `produced` says how many, fewer
    // only where the chunk ends. 0, or 60 (not decodable, or decoding beyond
    // the limit) or 46.
    int Read(std::uint8_t* out, std::size_t length, std::size_t& produced);

    bool IsOpen() const { return m_source != nullptr; }
    // What the chunk has given so far.
    std::uint64_t Produced() const { return m_produced; }
    // Lets go of the chunk (its deciphered copy; the decoder keeps its memory for the next).
    void Close();

private:
    int ReadStored(std::uint8_t* out, std::size_t length, std::size_t& produced);
    int Decode(std::uint8_t* out, std::size_t length, std::size_t& produced);
    bool PromisesMoreThanLimit() const;

    const ByteSource* m_source = nullptr;
    std::uint64_t m_next = 0;  // the next stored byte not yet handed to the decoder or caller
    std::uint64_t m_end = 0;
    std::vector<std::uint8_t> m_plain;  // a ciphered chunk, deciphered
    ViewByteSource m_plainSource{ByteView()};
    bool m_compressed = false;
    bool m_ended = false;
    std::uint64_t m_limit = 0;
    std::uint64_t m_produced = 0;
    LzmaStream m_decoder;
    std::vector<std::uint8_t> m_input;
};

}  // namespace palisade
