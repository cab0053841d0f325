// xz compression of payload pieces: the builder's side.
#include <lzma.h>

#include "payload/lzma_stream.h"
#include "payload/xz_codec.h"

namespace palisade {

std::optional<std::vector<std::uint8_t>> XzCompress(const std::uint8_t* data, std::size_t length,
                                                    std::uint32_t preset) {
    LzmaStream stream;
    if (lzma_easy_encoder(stream.get(), preset, LZMA_CHECK_CRC32) != LZMA_OK) return std::nullopt;

    std::vector<std::uint8_t> output(lzma_stream_buffer_bound(length) + 64);
    stream->next_in = data;
    stream->avail_in = length;
    stream->next_out = output.data();
    stream->avail_out = output.size();
    for (;;) {
        lzma_ret result = lzma_code(stream.get(), LZMA_FINISH);
        if (result == LZMA_STREAM_END) break;
        if (result != LZMA_OK) return std::nullopt;
        if (stream->avail_out == 0) {
            // The bound should never be exceeded; grow rather than fail if it is.
            std::size_t written = output.size();
            output.resize(written * 2);
            stream->next_out = output.data() + written;
            stream->avail_out = output.size() - written;
        }
    }
    output.resize(stream->total_out);
    output.shrink_to_fit();
    return output;
}

}  // namespace palisade
