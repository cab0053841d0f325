// xz compression of payload pieces: the builder's side.
#include <lzma.h>

#include <algorithm>

#include "payload/lzma_stream.h"
#include "payload/xz_codec.h"

namespace palisade {

std::uint32_t XzDictionarySize(std::size_t length) {
    // The decoder allocates the whole dictionary the stream names: one larger
    // than the data costs the installer memory and compresses no better.
    constexpr std::size_t kSmallestDictionary = 4096;
    return std::uint32_t(std::clamp<std::size_t>(length, kSmallestDictionary, kMaxXzDictionary));
}

std::optional<std::vector<std::uint8_t>> XzCompress(const std::uint8_t* data, std::size_t length,
                                                    std::uint32_t preset, XzFilter filter) {
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, preset)) return std::nullopt;
    options.dict_size = XzDictionarySize(length);
    const lzma_filter lzma2 = {LZMA_FILTER_LZMA2, &options};
    const lzma_filter end = {LZMA_VLI_UNKNOWN, nullptr};
    const lzma_filter plain[] = {lzma2, end};
    const lzma_filter branches[] = {{LZMA_FILTER_X86, nullptr}, lzma2, end};
    const lzma_filter* filters = filter == XzFilter::X86 ? branches : plain;
    LzmaStream stream;
    if (lzma_stream_encoder(stream.get(), filters, LZMA_CHECK_CRC32) != LZMA_OK) return std::nullopt;

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
