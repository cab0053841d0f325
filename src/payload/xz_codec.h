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

// The largest dictionary the builder writes, whatever the preset: the
// installer holds the decoder's dictionary beside one decoded chunk.
inline constexpr std::uint32_t kMaxXzDictionary = 16u << 20;
// The most a decoder may use: the largest dictionary and the decoder's own
// state, so that a forged stream cannot ask for more.
inline constexpr std::uint64_t kXzDecoderMemoryLimit = kMaxXzDictionary + (1u << 20);
inline constexpr std::uint64_t kNoOutputLimit = UINT64_MAX;

// The decoded size that the index of the last xz stream in `data` gives;
// nothing when there is no readable index at the end.
std::optional<std::uint64_t> XzPromisedSize(const std::uint8_t* data, std::size_t size);

// Decodes `size` bytes at `data` (one or more concatenated xz streams) into
// `output`, sized once to the promised decoded size. The same failures as
// XzDecompress; `output` is then unspecified.
bool XzDecode(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& output,
              const XzProgress& progress = {}, std::uint64_t outputLimit = kNoOutputLimit);

// Replaces `buffer` by its decompressed contents (one or more concatenated xz
// streams). False on any decoder error, an incomplete stream, output beyond
// `outputLimit` (a small stream that unpacks to gigabytes is damaged, not a
// reason to run out of memory) or an abort, and `buffer` is then left as it
// was. An empty buffer decompresses to nothing.
bool XzDecompress(std::vector<std::uint8_t>& buffer, const XzProgress& progress = {},
                  std::uint64_t outputLimit = kNoOutputLimit);

// The filter before LZMA2: none, or the x86 branch converter (helps on some
// executables, not on others: the builder's --best tries both).
enum class XzFilter { None, X86 };

// The dictionary written for `length` bytes: the data's own size (at least
// 4 KiB, at most kMaxXzDictionary), whatever the preset's, so that matches
// reach across a whole chunk and the decoder allocates no more than needed.
std::uint32_t XzDictionarySize(std::size_t length);

// One independent xz stream with a CRC-32 check. Safe to call from several
// threads at once. Nothing on an encoder failure (bad preset, out of memory).
std::optional<std::vector<std::uint8_t>> XzCompress(const std::uint8_t* data, std::size_t length,
                                                    std::uint32_t preset = 6, XzFilter filter = XzFilter::None);

}  // namespace palisade
