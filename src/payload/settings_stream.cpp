// The encodings of the installer settings block: a bounds-checked reader and its exact inverse.
#include "payload/settings_stream.h"

#include <cstring>
#include <limits>

#include "core/text.h"
#include "payload/little_endian.h"

namespace palisade {

const std::uint8_t* SettingsReader::Take(std::size_t length) {
    if (length > Remaining()) return nullptr;
    const std::uint8_t* at = m_data + m_offset;
    m_offset += length;
    return at;
}

std::optional<std::uint8_t> SettingsReader::U8() {
    const std::uint8_t* p = Take(1);
    if (!p) return std::nullopt;
    return *p;
}

std::optional<std::uint16_t> SettingsReader::U16() {
    const std::uint8_t* p = Take(2);
    if (!p) return std::nullopt;
    return LoadU16(p);
}

std::optional<std::uint32_t> SettingsReader::U32() {
    const std::uint8_t* p = Take(4);
    if (!p) return std::nullopt;
    return LoadU32(p);
}

std::optional<std::int32_t> SettingsReader::I32() {
    auto value = U32();
    if (!value) return std::nullopt;
    return std::int32_t(*value);
}

std::optional<double> SettingsReader::Double() {
    const std::uint8_t* p = Take(8);
    if (!p) return std::nullopt;
    std::uint64_t bits = LoadU32(p) | (std::uint64_t(LoadU32(p + 4)) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::optional<std::string> SettingsReader::Raw(std::size_t length) {
    const std::uint8_t* p = Take(length);
    if (!p) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(p), length);
}

// Reads the bytes of a string whose length field has been read; a failed length
// field or a body past the end rewinds to where the length field began.
std::optional<std::string> SettingsReader::Bytes(std::optional<std::uint64_t> length) {
    if (length && *length <= Remaining()) return Raw(std::size_t(*length));
    return std::nullopt;
}

std::optional<std::string> SettingsReader::CompactString() {
    std::size_t start = m_offset;
    std::optional<std::uint64_t> length;
    if (auto first = U8()) {
        if (*first < 255) {
            length = *first;
        } else if (auto second = U8()) {
            if (*second == 255) {
                if (auto wide = U32()) length = *wide;
            } else if (auto high = U8()) {
                length = std::uint32_t(*second) | (std::uint32_t(*high) << 8);
            }
        }
    }
    if (length && *length > kMaxCompactStringLength) length.reset();
    auto bytes = Bytes(length);
    if (!bytes) m_offset = start;
    return bytes;
}

std::optional<std::string> SettingsReader::String8() {
    std::size_t start = m_offset;
    auto length = U8();
    auto bytes = Bytes(length ? std::optional<std::uint64_t>(*length) : std::nullopt);
    if (!bytes) m_offset = start;
    return bytes;
}

std::optional<std::string> SettingsReader::String16() {
    std::size_t start = m_offset;
    auto length = U16();
    auto bytes = Bytes(length ? std::optional<std::uint64_t>(*length) : std::nullopt);
    if (!bytes) m_offset = start;
    return bytes;
}

std::optional<std::string> SettingsReader::String32() {
    std::size_t start = m_offset;
    auto length = I32();
    std::optional<std::uint64_t> checked;
    if (length && *length >= 0) checked = std::uint64_t(*length);
    auto bytes = Bytes(checked);
    if (!bytes) m_offset = start;
    return bytes;
}

std::optional<std::string> SettingsReader::NarrowText() {
    const void* nul = std::memchr(m_data + m_offset, 0, Remaining());
    if (!nul) return std::nullopt;
    std::size_t length = static_cast<const std::uint8_t*>(nul) - (m_data + m_offset);
    auto text = Raw(length);
    ++m_offset;  // the NUL
    return text;
}

std::optional<std::u16string> SettingsReader::WideText() {
    std::u16string text;
    for (std::size_t at = m_offset; at + 2 <= m_size; at += 2) {
        char16_t unit = LoadU16(m_data + at);
        if (unit == 0) {
            m_offset = at + 2;
            return text;
        }
        text.push_back(unit);
    }
    return std::nullopt;
}

void SettingsWriter::U16(std::uint16_t value) { AppendU16(m_bytes, value); }

void SettingsWriter::U32(std::uint32_t value) { AppendU32(m_bytes, value); }

void SettingsWriter::Double(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U32(std::uint32_t(bits));
    U32(std::uint32_t(bits >> 32));
}

void SettingsWriter::Raw(const void* data, std::size_t length) {
    auto bytes = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + length);
}

void SettingsWriter::Problem(const std::string& text) { m_problems.push_back(std::string(m_field) + ": " + text); }

std::size_t CompactLengthSize(std::uint32_t length) {
    if (length < 255) return 1;
    if (length <= 0xFFFF && (length & 0xFF) != 0xFF) return 3;
    return 6;
}

void SettingsWriter::CompactString(std::string_view bytes) {
    if (bytes.size() > kMaxCompactStringLength) {
        Problem("longer than a CompactString can hold");
        bytes = bytes.substr(0, kMaxCompactStringLength);
    }
    auto length = std::uint32_t(bytes.size());
    switch (CompactLengthSize(length)) {
    case 1:
        U8(std::uint8_t(length));
        break;
    case 3:  // 255, then the 16-bit length whose low byte is not 255
        U8(255);
        U16(std::uint16_t(length));
        break;
    default:
        U8(255);
        U8(255);
        U32(length);
        break;
    }
    Raw(bytes);
}

void SettingsWriter::String8(std::string_view bytes) {
    if (bytes.size() > 0xFF) {
        Problem("longer than 255 bytes");
        bytes = bytes.substr(0, 0xFF);
    }
    U8(std::uint8_t(bytes.size()));
    Raw(bytes);
}

void SettingsWriter::String16(std::string_view bytes) {
    if (bytes.size() > 0xFFFF) {
        Problem("longer than 65535 bytes");
        bytes = bytes.substr(0, 0xFFFF);
    }
    U16(std::uint16_t(bytes.size()));
    Raw(bytes);
}

void SettingsWriter::String32(std::string_view bytes) {
    constexpr std::size_t kMax = std::size_t(std::numeric_limits<std::int32_t>::max());
    if (bytes.size() > kMax) {
        Problem("longer than a string32 can hold");
        bytes = bytes.substr(0, kMax);
    }
    I32(std::int32_t(bytes.size()));
    Raw(bytes);
}

void SettingsWriter::NarrowText(std::string_view text) {
    std::size_t nul = text.find('\0');
    if (nul != text.npos) {
        Problem("a NUL inside a NUL-terminated text");
        text = text.substr(0, nul);
    }
    Raw(text);
    U8(0);
}

void SettingsWriter::WideText(std::u16string_view text) {
    std::size_t nul = text.find(u'\0');
    if (nul != text.npos) {
        Problem("a NUL inside a NUL-terminated text");
        text = text.substr(0, nul);
    }
    Raw(EncodeUtf16Le(text));
    U16(0);
}

std::u16string DecodeUtf16Le(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(char16_t(std::uint8_t(bytes[i]) | (std::uint8_t(bytes[i + 1]) << 8)));
    }
    return text;
}

std::string EncodeUtf16Le(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(char(unit & 0xFF));
        bytes.push_back(char(unit >> 8));
    }
    return bytes;
}

std::u16string DecodeNarrowText(std::string_view narrow) {
    if (!narrow.empty() && narrow.front() == '|') return Utf8ToUtf16(narrow.substr(1));
    return Windows1252ToUtf16(narrow);
}

}  // namespace palisade
