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

// The decoded buffer is sized once, to what the stream says it holds, so that
// a chunk is never held twice while a growing buffer is copied.
std::size_t InitialOutputSize(const std::uint8_t* data, std::size_t size, std::uint64_t outputLimit) {
    std::uint64_t promised = XzPromisedSize(data, size).value_or(0);
    return std::size_t(std::min<std::uint64_t>({promised, outputLimit, std::numeric_limits<std::size_t>::max() / 2}));
}

// A decoded piece that is kept (the settings, a picture) should not carry
// slack (a stream whose index promised more than it held).
void ReleaseSlack(std::vector<std::uint8_t>& output) {
    if (output.capacity() - output.size() > output.size() / 8 + 4096) output.shrink_to_fit();
}

}  // namespace

std::optional<std::uint64_t> XzPromisedSize(const std::uint8_t* data, std::size_t size) {
    if (size < 2 * LZMA_STREAM_HEADER_SIZE) return std::nullopt;
    lzma_stream_flags footer;
    if (lzma_stream_footer_decode(&footer, data + size - LZMA_STREAM_HEADER_SIZE) != LZMA_OK) return std::nullopt;
    if (footer.backward_size > size - 2 * LZMA_STREAM_HEADER_SIZE) return std::nullopt;
    const std::uint8_t* index = data + size - LZMA_STREAM_HEADER_SIZE - footer.backward_size;
    lzma_index* decoded = nullptr;
    std::uint64_t memoryLimit = 1u << 20;
    std::size_t position = 0;
    if (lzma_index_buffer_decode(&decoded, &memoryLimit, nullptr, index, &position, footer.backward_size) != LZMA_OK) {
        return std::nullopt;
    }
    std::uint64_t total = lzma_index_uncompressed_size(decoded);
    lzma_index_end(decoded, nullptr);
    return total;
}

bool XzDecode(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& output,
              const XzProgress& progress, std::uint64_t outputLimit) {
    output.clear();
    if (size == 0) return true;
    LzmaStream stream;
    if (lzma_stream_decoder(stream.get(), kXzDecoderMemoryLimit, LZMA_CONCATENATED) != LZMA_OK) return false;

    // Decoded straight into `output` up to the promised size; anything beyond
    // (a stream whose index says less) goes through a window and is appended.
    output.resize(InitialOutputSize(data, size, outputLimit));
    std::uint8_t window[kPieceSize];
    bool inWindow = false;
    stream->next_out = output.data();
    stream->avail_out = output.size();
    std::size_t handedOver = 0;
    for (;;) {
        if (stream->avail_in == 0 && handedOver < size) {
            std::size_t piece = std::min(kPieceSize, size - handedOver);
            stream->next_in = data + handedOver;
            stream->avail_in = piece;
            handedOver += piece;
        }
        if (stream->avail_out == 0) {
            if (inWindow) output.insert(output.end(), window, window + sizeof window);
            inWindow = true;
            stream->next_out = window;
            stream->avail_out = sizeof window;
        }
        lzma_action action = handedOver == size ? LZMA_FINISH : LZMA_RUN;
        lzma_ret result = lzma_code(stream.get(), action);
        if (result != LZMA_OK && result != LZMA_STREAM_END) return false;
        if (stream->total_out > outputLimit) return false;
        if (result == LZMA_STREAM_END) break;
        if (progress && progress(handedOver, size, std::uint64_t(stream->total_out) * 8)) return false;
    }
    if (inWindow) output.insert(output.end(), window, window + (sizeof window - stream->avail_out));
    output.resize(std::size_t(stream->total_out));
    ReleaseSlack(output);
    return true;
}

bool XzDecompress(std::vector<std::uint8_t>& buffer, const XzProgress& progress, std::uint64_t outputLimit) {
    std::vector<std::uint8_t> output;
    if (!XzDecode(buffer.data(), buffer.size(), output, progress, outputLimit)) return false;
    buffer = std::move(output);
    return true;
}

}  // namespace palisade
