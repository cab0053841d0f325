// Fuzz target: arbitrary bytes through the payload decoders (xz and the cipher's
// framing), which must reject bad input without faults or runaway memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "payload/blowfish.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A limit taken from the input itself: whatever decodes stays within it.
    const std::uint64_t limit = size > 0 ? std::uint64_t(data[0]) << 12 : 0;
    std::vector<std::uint8_t> bounded(data, data + size);
    if (palisade::XzDecompress(bounded, {}, limit) && !bounded.empty() && bounded.size() > limit) __builtin_trap();

    std::vector<std::uint8_t> ciphered(data, data + size);
    FixedCipher().Decipher(ciphered);
    if (ciphered.size() > size) __builtin_trap();
    std::vector<std::uint8_t> again = FixedCipher().EncipherFramed(ciphered.data(), ciphered.size());
    FixedCipher().Decipher(again);
    if (again != ciphered) __builtin_trap();
    return 0;
}
