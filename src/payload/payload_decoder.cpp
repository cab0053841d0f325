// Turns stored payload pieces (the settings block, archive chunks) into their plain bytes.
#include "payload/payload_decoder.h"

#include "core/fatal_codes.h"
#include "payload/xor_mask.h"
#include "payload/xz_codec.h"

namespace palisade {

PayloadCipher::PayloadCipher(const PayloadHeader& header) {
    if (!header.IsCiphered() || !header.payloadKey) return;
    // An 8-byte key is always a valid Blowfish key, so keying cannot fail here.
    m_active = m_blowfish.SetKey(header.payloadKey->data(), header.payloadKey->size());
}

void PayloadCipher::Decipher(std::vector<std::uint8_t>& buffer) const {
    if (m_active) m_blowfish.Decipher(buffer);
}

SettingsBlockResult DecodeSettingsBlock(const PayloadHeader& header, ByteView payload, const PayloadCipher& cipher) {
    SettingsBlockResult result;
    std::size_t size = static_cast<std::size_t>(header.settingsSize);
    if (header.settingsSize < 0 || payload.Sub(header.settingsOffset, size).size != size) {
        result.errorCode = FatalCode::kSettingsSize;
        return result;
    }
    result.block = payload.Sub(header.settingsOffset, size).Copy();
    if (header.IsCiphered()) {
        cipher.Decipher(result.block);
    } else {
        ApplyXorMask(result.block.data(), result.block.size(), header.settingsChecksum);
    }
    if (!XzDecompress(result.block)) {
        result.block.clear();
        result.errorCode = FatalCode::kSettingsNotDecompressed;
    }
    return result;
}

}  // namespace palisade
