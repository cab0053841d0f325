// The payload header at the start of the `.setup` section: fields, checks and codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/byte_view.h"
#include "payload/settings_flags.h"

namespace palisade {

inline constexpr std::uint32_t kPayloadMagic = 0xa4f23de5;
inline constexpr char kBuilderVersion[] = "44.0.1";
inline constexpr std::int32_t kMaxSettingsSize = 0x31fffff;
inline constexpr std::int32_t kMaxItemSize = 0x40000000;
// What a builder ever puts in one chunk before compression, and what an item
// record may hold besides its data (names, paths, texts): bounds that keep a
// damaged or forged archive from claiming memory a 32-bit process lacks.
inline constexpr std::uint64_t kMaxChunkContent = 256u << 20;
inline constexpr std::uint32_t kMaxRecordFields = 1u << 20;
inline constexpr std::size_t kPayloadKeySize = 8;

// Narrow fatal text for a payload built for another stub: caption, stored version, caption.
inline constexpr char16_t kVersionMismatchText[] =
    u"The installer version (44.0.1) does not match the version of %s (%s).  Close all applications "
    u"and reinstall %s.";

struct PayloadHeader {
    std::uint32_t magic = 0;
    std::string builderVersion;
    std::uint32_t payloadFlags = 0;
    std::int32_t settingsSize = 0;
    std::uint32_t settingsChecksum = 0;  // also the settings block's XOR mask
    std::uint32_t fileChecksum = 0;      // integrity mode 1
    std::int32_t payloadLength = 0;
    std::int32_t itemCount = 0;
    std::int32_t archiveLength = 0;
    std::uint32_t archiveChecksum = 0;
    std::vector<std::int32_t> itemSizes;  // the `ItemSizeTable`, one entry per item
    std::optional<std::array<std::uint8_t, kPayloadKeySize>> payloadKey;  // when ciphered

    std::size_t settingsOffset = 0;  // from payload start to the stored settings block
    std::size_t archiveOffset = 0;   // from payload start to the archive

    bool IsCiphered() const { return (payloadFlags & PayloadFlags::kCiphered) != 0; }
    // Bytes that the items' data occupy once installed.
    std::uint64_t TotalItemSize() const;
};

// A numbered corrupt-installer error.
struct PayloadError {
    int code;
};

// The payload was built for another stub version (at most 256 bytes of it are kept).
struct BuilderVersionMismatch {
    std::string storedVersion;
};

using PayloadHeaderRead = std::variant<PayloadHeader, PayloadError, BuilderVersionMismatch>;

// Reads fields 1 to 12 from the start of `payload` (the `.setup` section's
// data), checking each as it is read, and checks that the stored settings
// block lies inside `payload`.
PayloadHeaderRead ReadPayloadHeader(ByteView payload);

// The installer-version text with the application caption filled in.
std::u16string FormatVersionMismatch(std::u16string_view caption, std::string_view storedVersion);

}  // namespace palisade
