// Values of build options shared by the project file and the command line: sizes, keys, presets.
#include "builder/build_values.h"

#include <lzma.h>

#include <cctype>
#include <cstdio>
#include <fstream>

namespace palisade::tools {

std::optional<std::size_t> ParseByteSize(std::string_view text) {
    std::size_t position = 0;
    std::uint64_t number = 0;
    while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position]))) {
        number = number * 10 + std::uint64_t(text[position++] - '0');
        if (number > (std::uint64_t(1) << 40)) return std::nullopt;
    }
    if (position == 0) return std::nullopt;
    while (position < text.size() && text[position] == ' ') ++position;
    std::string unit;
    for (; position < text.size(); ++position) unit += char(std::tolower(static_cast<unsigned char>(text[position])));
    std::uint64_t factor = 0;
    if (unit.empty() || unit == "b") factor = 1;
    if (unit == "k" || unit == "kib" || unit == "kb") factor = 1u << 10;
    if (unit == "m" || unit == "mib" || unit == "mb") factor = 1u << 20;
    if (factor == 0) return std::nullopt;
    return std::size_t(number * factor);
}

std::optional<CipherKey> ParseCipherKey(std::string_view text) {
    if (text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X") text.remove_prefix(2);
    if (text.size() != 2 * kPayloadKeySize) return std::nullopt;
    CipherKey key{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = char(std::tolower(static_cast<unsigned char>(text[i])));
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        key[i / 2] = std::uint8_t((key[i / 2] << 4) | digit);
    }
    return key;
}

std::string CipherKeyText(const CipherKey& key) {
    std::string text;
    char digits[3];
    for (std::uint8_t byte : key) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

std::optional<CipherKey> RandomCipherKey() {
    std::ifstream random("/dev/urandom", std::ios::binary);
    CipherKey key{};
    if (!random.read(reinterpret_cast<char*>(key.data()), key.size())) return std::nullopt;
    return key;
}

std::uint32_t XzPresetWord(std::uint32_t level, bool extreme) { return level | (extreme ? LZMA_PRESET_EXTREME : 0); }

}  // namespace palisade::tools
