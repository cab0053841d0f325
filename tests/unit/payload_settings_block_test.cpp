// The settings block between header and settings reader: mask or cipher, then xz.
#include "payload/payload_decoder.h"

#include <gtest/gtest.h>

#include "payload/blowfish.h"
#include "payload/crc32.h"
#include "payload/payload_writer.h"
#include "payload/settings_schema.h"
#include "payload_test_support.h"

namespace palisade {
namespace {

using testing::HeaderFor;
using testing::JoinPayload;

const std::vector<std::uint8_t> kPlain = {'s', 'e', 't', 't', 'i', 'n', 'g', 's', 0, 1, 2, 3, 4};

struct Stored {
    PayloadHeader header;
    std::vector<std::uint8_t> payload;
};

Stored StoreSettings(const std::vector<std::uint8_t>& stored, std::uint32_t checksum, std::uint32_t flags) {
    Stored s{HeaderFor(stored.size(), {}, {}, flags), {}};
    s.header.settingsChecksum = checksum;
    s.payload = JoinPayload(s.header, stored, {});
    s.header = std::get<PayloadHeader>(ReadPayloadHeader(s.payload));
    return s;
}

TEST(SettingsBlockDecoding, MaskedAndCipheredBlocksDecodeToThePlainSettings) {
    for (std::uint32_t flags : {0u, PayloadFlags::kCiphered}) {
        PayloadOptions options;
        options.payloadFlags = flags;
        options.payloadKey = {1, 2, 3, 4, 5, 6, 7, 8};
        EncodedSettings encoded = EncodeSettingsBlock(kPlain, options);
        ASSERT_TRUE(encoded.error.empty());
        EXPECT_EQ(encoded.checksum, Crc32(kPlain));
        Stored stored = StoreSettings(encoded.stored, encoded.checksum, flags);
        SettingsBlockResult result = DecodeSettingsBlock(stored.header, stored.payload, PayloadCipher(stored.header));
        EXPECT_EQ(result.errorCode, 0) << flags;
        EXPECT_EQ(result.block, kPlain) << flags;
    }
}

TEST(SettingsBlockDecoding, TheMaskIsTheSettingsChecksum) {
    EncodedSettings encoded = EncodeSettingsBlock(kPlain, PayloadOptions());
    // Unmasking the first group gives the xz magic back.
    std::uint32_t first = encoded.stored[0] | encoded.stored[1] << 8 | encoded.stored[2] << 16 |
                          std::uint32_t(encoded.stored[3]) << 24;
    EXPECT_EQ(first ^ encoded.checksum, 0x587A37FDu);
}

TEST(SettingsBlockDecoding, UndecodableBlockIsCode47) {
    Stored stored = StoreSettings({1, 2, 3, 4, 5, 6, 7}, 0x1234, 0);
    SettingsBlockResult result = DecodeSettingsBlock(stored.header, stored.payload, PayloadCipher(stored.header));
    EXPECT_EQ(result.errorCode, 47);
    EXPECT_TRUE(result.block.empty());
}

TEST(SettingsBlockDecoding, BadCipherFramingDecodesToNothingAndFailsTheChecksum) {
    // Eight bytes whose deciphered trailing length (100) fails the framing test.
    Blowfish cipher;
    std::uint8_t key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    cipher.SetKey(key, 8);
    std::vector<std::uint8_t> framed = cipher.EncipherFramed(std::vector<std::uint8_t>(100).data(), 100);
    std::vector<std::uint8_t> lastBlock(framed.end() - 8, framed.end());
    Stored stored = StoreSettings(lastBlock, 0x1234, PayloadFlags::kCiphered);
    SettingsBlockResult result = DecodeSettingsBlock(stored.header, stored.payload, PayloadCipher(stored.header));
    EXPECT_EQ(result.errorCode, 0);
    EXPECT_TRUE(result.block.empty());
    EXPECT_EQ(ReadSettings(result.block, stored.header.settingsChecksum).errorCode, 25);
}

TEST(SettingsBlockDecoding, ABlockOutsideThePayloadIsCode22) {
    Stored stored = StoreSettings(std::vector<std::uint8_t>(16, 0), 0, 0);
    stored.header.settingsSize = 17;  // as a caller with its own header might have it
    EXPECT_EQ(DecodeSettingsBlock(stored.header, stored.payload, PayloadCipher(stored.header)).errorCode, 22);
}

}  // namespace
}  // namespace palisade
