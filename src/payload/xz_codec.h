// xz compression of payload pieces: the stub's decoder and the builder's encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace palisade {

// Called during decompression after every step of the decoder with the input
// bytes handed to the decoder so far, the total input and the output produced
// in bits. Returning true aborts the decompression.
using XzProgress = std::function<bool(std::uint64_t inputDone, std::uint64_t inputTotal, std::uint64_t outputBits)>;

// `progress` called only when at least 201 ms have passed since its previous
// call (or since this wrapper was made). Kept apart from the decoder
// (xz_progress.cpp) so that the stub, which passes no progress function,
// links no clock.
XzProgress EveryInterval(XzProgress progress);

// The most a decoder may use: enough for the largest dictionary the builder
// writes (preset 9, 64 MiB), so that a forged stream cannot ask for more.
inline constexpr std::uint64_t kXzDecoderMemoryLimit = 96u << 20;
inline constexpr std::uint64_t kNoOutputLimit = UINT64_MAX;

// Replaces `buffer` by its decompressed contents (one or more concatenated xz
// streams). False on any decoder error, an incomplete stream, output beyond
// `outputLimit` (a small stream that unpacks to gigabytes is damaged, not a
// reason to run out of memory) or an abort, and `buffer` is then left as it
// was. An empty buffer decompresses to nothing.
bool XzDecompress(std::vector<std::uint8_t>& buffer, const XzProgress& progress = {},
                  std::uint64_t outputLimit = kNoOutputLimit);

// One independent xz stream with a CRC-32 check. Safe to call from several
// threads at once. Nothing on an encoder failure (bad preset, out of memory).
std::optional<std::vector<std::uint8_t>> XzCompress(const std::uint8_t* data, std::size_t length,
                                                    std::uint32_t preset = 6);

}  // namespace palisade
