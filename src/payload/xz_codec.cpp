// xz decompression of payload pieces (the stub's side; the builder's encoder
// lives in xz_encoder.cpp so that the stub links no encoder).
#include "payload/xz_codec.h"

#include <lzma.h>

#include "payload/lzma_stream.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace palisade {
namespace {

constexpr std::size_t kPieceSize = 16384;


// Room for the usual expansion up front, never beyond what may come out;
// more is grown on demand.
void ReserveOutput(std::vector<std::uint8_t>& output, std::size_t inputLength, std::uint64_t outputLimit) {
    constexpr std::size_t kLimit = (std::numeric_limits<std::size_t>::max() - 1024) / 3;
    if (inputLength > kLimit) return;
    output.reserve(std::size_t(std::min<std::uint64_t>(3 * std::uint64_t(inputLength) + 1024, outputLimit)));
}

// The decoded pieces may end up far smaller than the reserve; a buffer that
// waits in the item queue should not carry that slack.
void ReleaseSlack(std::vector<std::uint8_t>& output) {
    if (output.capacity() - output.size() > output.size() / 8 + 4096) output.shrink_to_fit();
}

}  // namespace

bool XzDecompress(std::vector<std::uint8_t>& buffer, const XzProgress& progress, std::uint64_t outputLimit) {
    if (buffer.empty()) return true;
    LzmaStream stream;
    if (lzma_stream_decoder(stream.get(), kXzDecoderMemoryLimit, LZMA_CONCATENATED) != LZMA_OK) return false;

    std::vector<std::uint8_t> output;
    ReserveOutput(output, buffer.size(), outputLimit);
    std::uint8_t window[kPieceSize];
    std::size_t handedOver = 0;
    stream->next_out = window;
    stream->avail_out = sizeof window;
    for (;;) {
        if (stream->avail_in == 0 && handedOver < buffer.size()) {
            std::size_t piece = std::min(kPieceSize, buffer.size() - handedOver);
            stream->next_in = buffer.data() + handedOver;
            stream->avail_in = piece;
            handedOver += piece;
        }
        lzma_action action = handedOver == buffer.size() ? LZMA_FINISH : LZMA_RUN;
        lzma_ret result = lzma_code(stream.get(), action);
        if (result != LZMA_OK && result != LZMA_STREAM_END) return false;
        if (stream->avail_out == 0 || result == LZMA_STREAM_END) {
            std::size_t produced = sizeof window - stream->avail_out;
            if (produced > outputLimit - output.size()) return false;
            output.insert(output.end(), window, window + produced);
            stream->next_out = window;
            stream->avail_out = sizeof window;
        }
        if (result == LZMA_STREAM_END) break;
        if (progress && progress(handedOver, buffer.size(), std::uint64_t(stream->total_out) * 8)) return false;
    }
    ReleaseSlack(output);
    buffer = std::move(output);
    return true;
}


}  // namespace palisade
