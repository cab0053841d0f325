// Values of build options shared by the project file and the command line: sizes, keys, presets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "payload/payload_header.h"

namespace palisade::tools {

using CipherKey = std::array<std::uint8_t, kPayloadKeySize>;

// "1048576", "512k", "512 KiB", "4M", "4 MiB" (binary units). Nothing when malformed.
std::optional<std::size_t> ParseByteSize(std::string_view text);

// 16 hexadecimal digits (an optional "0x" in front). Nothing when malformed.
std::optional<CipherKey> ParseCipherKey(std::string_view text);
std::string CipherKeyText(const CipherKey& key);

// 8 bytes from the system's random source.
std::optional<CipherKey> RandomCipherKey();

// The xz preset word: level 0..9, with the "extreme" flag when asked.
std::uint32_t XzPresetWord(std::uint32_t level, bool extreme);

}  // namespace palisade::tools
