// The encodings of the installer settings block: a bounds-checked reader and its exact inverse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// A `CompactString` longer than this is malformed.
inline constexpr std::uint32_t kMaxCompactStringLength = 0x40000000;

// Reads the decompressed settings block front to back; integers are little-endian.
// Every read stays inside the block: a field that would reach past its end (or
// that is malformed, such as a negative string32 length) fails and leaves the
// cursor where it was. Length-prefixed and NUL-terminated strings are returned
// as their bytes; DecodeUtf16Le and DecodeNarrowText turn them into text.
class SettingsReader {
public:
    SettingsReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    explicit SettingsReader(const std::vector<std::uint8_t>& block) : SettingsReader(block.data(), block.size()) {}
    // The reader keeps no copy: a temporary block would be gone before the first read.
    explicit SettingsReader(std::vector<std::uint8_t>&&) = delete;

    std::optional<std::uint8_t> U8();
    std::optional<std::uint16_t> U16();
    std::optional<std::uint32_t> U32();
    std::optional<std::int32_t> I32();
    std::optional<double> Double();  // IEEE 754 binary64
    std::optional<std::string> Raw(std::size_t length);

    // Length 1 byte b; b = 255: a second byte c; c = 255: a u32 length follows,
    // otherwise c is the low byte of a 16-bit length whose high byte follows.
    std::optional<std::string> CompactString();
    std::optional<std::string> String8();   // u8 length, then the bytes
    std::optional<std::string> String16();  // u16 length, then the bytes
    std::optional<std::string> String32();  // i32 length (negative fails), then the bytes
    std::optional<std::string> NarrowText();      // bytes up to a NUL byte, which is consumed
    std::optional<std::u16string> WideText();     // UTF-16LE units up to a NUL unit, which is consumed

    std::size_t Offset() const { return m_offset; }
    std::size_t Remaining() const { return m_size - m_offset; }

private:
    const std::uint8_t* Take(std::size_t length);
    std::optional<std::string> Bytes(std::optional<std::uint64_t> length);

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

// Writes the same encodings. A value that its encoding cannot hold (a string
// longer than its length field allows, a NUL inside a NUL-terminated text) is
// written cut to what fits and reported as a problem naming the current field,
// so that a builder can refuse the settings before it ships them.
class SettingsWriter {
public:
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(std::uint32_t(value)); }
    void Double(double value);
    void Raw(const void* data, std::size_t length);
    void Raw(std::string_view bytes) { Raw(bytes.data(), bytes.size()); }

    void CompactString(std::string_view bytes);
    void String8(std::string_view bytes);
    void String16(std::string_view bytes);
    void String32(std::string_view bytes);
    void NarrowText(std::string_view text);
    void WideText(std::u16string_view text);

    // Names the field that later problems are reported for.
    void SetField(const char* name) { m_field = name; }
    void Problem(const std::string& text);

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }
    const std::vector<std::string>& Problems() const { return m_problems; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::vector<std::string> m_problems;
    const char* m_field = "";
};

// The number of bytes the shortest valid length form of a `CompactString` takes:
// 1 below 255; 3 up to 0xFFFF unless the low byte is 255; 6 otherwise.
std::size_t CompactLengthSize(std::uint32_t length);

// UTF-16LE bytes and text. An odd trailing byte cannot form a unit and is dropped.
std::u16string DecodeUtf16Le(std::string_view bytes);
std::string EncodeUtf16Le(std::u16string_view text);

// Narrow settings text: Windows-1252, except that a text beginning with "|" holds UTF-8 after it.
std::u16string DecodeNarrowText(std::string_view narrow);

inline std::vector<std::uint8_t> ToByteVector(std::string_view bytes) { return {bytes.begin(), bytes.end()}; }
inline std::string_view AsByteString(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace palisade
