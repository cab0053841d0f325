// Fuzz target: arbitrary bytes through the payload decoders (xz, cipher framing,
// item queue), which must reject bad input without faults or runaway memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "payload/blowfish.h"
#include "payload/item_queue.h"
#include "payload/xz_codec.h"

namespace {

const palisade::Blowfish& FixedCipher() {
    static const palisade::Blowfish cipher = [] {
        palisade::Blowfish keyed;
        const std::uint8_t key[8] = {0x50, 0x61, 0x6C, 0x69, 0x73, 0x61, 0x64, 0x65};
        keyed.SetKey(key, sizeof key);
        return keyed;
    }();
    return cipher;
}

// The first byte picks chunk sizes, so records and chunks are split in many ways.
void FeedQueue(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    std::size_t step = 1 + data[0] % 32;
    palisade::ItemByteQueue queue;
    std::vector<std::uint8_t> record;
    std::size_t taken = 0;
    for (std::size_t at = 1; at < size; at += step) {
        std::size_t end = at + step < size ? at + step : size;
        queue.Append(std::vector<std::uint8_t>(data + at, data + end));
        while (queue.TakeRecord(record)) taken += 4 + record.size();
    }
    if (taken + queue.BufferedBytes() != size - 1) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A limit taken from the input itself: whatever decodes stays within it.
    const std::uint64_t limit = size > 0 ? std::uint64_t(data[0]) << 12 : 0;
    std::vector<std::uint8_t> bounded(data, data + size);
    if (palisade::XzDecompress(bounded, {}, limit) && !bounded.empty() && bounded.size() > limit) __builtin_trap();

    std::vector<std::uint8_t> packed(data, data + size);
    if (palisade::XzDecompress(packed, {}, 64u << 20)) {
        // Whatever decodes must also pass through the queue.
        FeedQueue(packed.data(), packed.size());
    }

    std::vector<std::uint8_t> ciphered(data, data + size);
    FixedCipher().Decipher(ciphered);
    if (ciphered.size() > size) __builtin_trap();
    std::vector<std::uint8_t> again = FixedCipher().EncipherFramed(ciphered.data(), ciphered.size());
    FixedCipher().Decipher(again);
    if (again != ciphered) __builtin_trap();

    FeedQueue(data, size);
    return 0;
}
