// Turns stored payload pieces (the settings block, archive chunks) into their plain bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "core/byte_view.h"
#include "payload/blowfish.h"
#include "payload/payload_header.h"

namespace palisade {

// The block cipher keyed once from the header's `PayloadKey`, reused for the
// settings block and every chunk; inactive when the payload is not ciphered.
class PayloadCipher {
public:
    explicit PayloadCipher(const PayloadHeader& header);

    bool IsActive() const { return m_active; }
    // Deciphers in place (emptying the buffer when its framing is bad); leaves
    // the buffer alone when inactive.
    void Decipher(std::vector<std::uint8_t>& buffer) const;

private:
    bool m_active = false;
    Blowfish m_blowfish;
};

struct SettingsBlockResult {
    std::vector<std::uint8_t> block;  // the decompressed settings
    int errorCode = 0;                // 22 (block outside the payload) or 47
};

// Copies the stored settings block out of `payload`, unmasks or deciphers it
// and decompresses it. The checksum test (25) is left to the settings reader,
// which makes it after the first settings have been read.
SettingsBlockResult DecodeSettingsBlock(const PayloadHeader& header, ByteView payload, const PayloadCipher& cipher);

}  // namespace palisade
