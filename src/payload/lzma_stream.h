// Owner of a liblzma coder: frees the coder's memory on every way out.
#pragma once

#include <lzma.h>

namespace palisade {

class LzmaStream {
public:
    LzmaStream() = default;
    LzmaStream(const LzmaStream&) = delete;
    LzmaStream& operator=(const LzmaStream&) = delete;
    ~LzmaStream() { lzma_end(&m_stream); }
    lzma_stream* operator->() { return &m_stream; }
    lzma_stream* get() { return &m_stream; }

private:
    lzma_stream m_stream = LZMA_STREAM_INIT;
};

}  // namespace palisade
