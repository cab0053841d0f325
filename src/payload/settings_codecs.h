// Building blocks of the settings schema: how each encoding reads into and writes from a settings member.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/fatal_codes.h"
#include "payload/settings.h"
#include "payload/settings_schema.h"
#include "payload/settings_stream.h"

namespace palisade {
namespace settings_codecs {

// Value codecs: one encoding paired with the C++ type it fills.
struct U8Codec {
    using Value = std::uint8_t;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::U8;
    static std::optional<Value> Read(SettingsReader& r) { return r.U8(); }
    static void Write(SettingsWriter& w, const Value& v) { w.U8(v); }
};
struct U16Codec {
    using Value = std::uint16_t;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::U16;
    static std::optional<Value> Read(SettingsReader& r) { return r.U16(); }
    static void Write(SettingsWriter& w, const Value& v) { w.U16(v); }
};
struct U32Codec {
    using Value = std::uint32_t;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::U32;
    static std::optional<Value> Read(SettingsReader& r) { return r.U32(); }
    static void Write(SettingsWriter& w, const Value& v) { w.U32(v); }
};
struct I32Codec {
    using Value = std::int32_t;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::I32;
    static std::optional<Value> Read(SettingsReader& r) { return r.I32(); }
    static void Write(SettingsWriter& w, const Value& v) { w.I32(v); }
};
struct DoubleCodec {
    using Value = double;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::Double;
    static std::optional<Value> Read(SettingsReader& r) { return r.Double(); }
    static void Write(SettingsWriter& w, const Value& v) { w.Double(v); }
};

// Length-prefixed strings, held as wide text, narrow text or bytes.
template <std::optional<std::string> (SettingsReader::*ReadBytes)(), void (SettingsWriter::*WriteBytes)(std::string_view),
          SettingsEncoding Encoding>
struct StringForms {
    struct Wide {
        using Value = std::u16string;
        static constexpr SettingsEncoding kEncoding = Encoding;
        static std::optional<Value> Read(SettingsReader& r) {
            auto bytes = (r.*ReadBytes)();
            if (!bytes) return std::nullopt;
            return DecodeUtf16Le(*bytes);
        }
        static void Write(SettingsWriter& w, const Value& v) { (w.*WriteBytes)(EncodeUtf16Le(v)); }
    };
    struct Narrow {
        using Value = std::string;
        static constexpr SettingsEncoding kEncoding = Encoding;
        static std::optional<Value> Read(SettingsReader& r) { return (r.*ReadBytes)(); }
        static void Write(SettingsWriter& w, const Value& v) { (w.*WriteBytes)(v); }
    };
    struct Bytes {
        using Value = ByteBlob;
        static constexpr SettingsEncoding kEncoding = Encoding;
        static std::optional<Value> Read(SettingsReader& r) {
            auto bytes = (r.*ReadBytes)();
            if (!bytes) return std::nullopt;
            return ToByteVector(*bytes);
        }
        static void Write(SettingsWriter& w, const Value& v) { (w.*WriteBytes)(AsByteString(v)); }
    };
};
using Compact = StringForms<&SettingsReader::CompactString, &SettingsWriter::CompactString,
                            SettingsEncoding::CompactString>;
using Str8 = StringForms<&SettingsReader::String8, &SettingsWriter::String8, SettingsEncoding::String8>;
using Str16 = StringForms<&SettingsReader::String16, &SettingsWriter::String16, SettingsEncoding::String16>;
using Str32 = StringForms<&SettingsReader::String32, &SettingsWriter::String32, SettingsEncoding::String32>;

struct NarrowTextCodec {
    using Value = std::string;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::NarrowText;
    static std::optional<Value> Read(SettingsReader& r) { return r.NarrowText(); }
    static void Write(SettingsWriter& w, const Value& v) { w.NarrowText(v); }
};
struct WideTextCodec {
    using Value = std::u16string;
    static constexpr SettingsEncoding kEncoding = SettingsEncoding::WideText;
    static std::optional<Value> Read(SettingsReader& r) { return r.WideText(); }
    static void Write(SettingsWriter& w, const Value& v) { w.WideText(v); }
};

// Reads one value of a record into `target`; false when the data is short.
template <typename Codec, typename Target>
bool ReadInto(SettingsReader& r, Target& target) {
    auto value = Codec::Read(r);
    if (!value) return false;
    target = std::move(*value);
    return true;
}

// Values are equal when they would be stored alike: doubles by their bits, so
// that a stored NaN equals itself and 0.0 differs from -0.0.
template <typename T>
bool SameValue(const T& a, const T& b) {
    return a == b;
}
inline bool SameValue(double a, double b) {
    std::uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// One copy per encoding, shared by all members of that encoding; the per-member
// functions of Field only find the member and call these. This keeps the
// stub's code small: about a hundred fields use a handful of encodings.
template <typename Codec>
[[gnu::noinline]] int ReadValue(SettingsReader& r, typename Codec::Value& target, const SettingsField& self) {
    return ReadInto<Codec>(r, target) ? 0 : self.ShortDataCode();
}
template <typename Codec>
[[gnu::noinline]] void WriteValue(SettingsWriter& w, const typename Codec::Value& value) {
    Codec::Write(w, value);
}
template <typename Codec>
[[gnu::noinline]] bool EqualValue(const typename Codec::Value& a, const typename Codec::Value& b) {
    return SameValue(a, b);
}

// A field that stores one settings member in one encoding. Constant, so that
// the schema is a table of data rather than code that builds one.
template <typename Codec, auto Member>
constexpr SettingsField Field(int row, const char* name) {
    SettingsField f;
    f.row = row;
    f.name = name;
    f.encoding = Codec::kEncoding;
    f.read = [](SettingsReader& r, InstallerSettings& s, const SettingsField& self) -> int {
        return ReadValue<Codec>(r, s.*Member, self);
    };
    f.write = [](SettingsWriter& w, const InstallerSettings& s, const SettingsField&) {
        WriteValue<Codec>(w, s.*Member);
    };
    f.equal = [](const InstallerSettings& a, const InstallerSettings& b) {
        return EqualValue<Codec>(a.*Member, b.*Member);
    };
    return f;
}

// Record codecs of the lists (defined in settings_codecs.cpp).
bool ReadRecord(SettingsReader& r, ByteBlob& document);
void WriteRecord(SettingsWriter& w, const ByteBlob& document);
bool ReadRecord(SettingsReader& r, FileAssociation& record);
void WriteRecord(SettingsWriter& w, const FileAssociation& record);
bool ReadRecord(SettingsReader& r, AuthorShortcut& record);
void WriteRecord(SettingsWriter& w, const AuthorShortcut& record);
bool ReadRecord(SettingsReader& r, UninstallValue& record);
void WriteRecord(SettingsWriter& w, const UninstallValue& record);

// i32 count (0..field.limit, else field.checkCode), then the records; short
// records fail with the checksum's code, as the count itself passed its check.
template <typename Record>
[[gnu::noinline]] int ReadCountedList(SettingsReader& r, std::vector<Record>& list, const SettingsField& self) {
    auto count = r.I32();
    if (!count || *count < 0 || *count > self.limit) return self.checkCode;
    list.clear();
    for (std::int32_t i = 0; i < *count; ++i) {
        list.emplace_back();
        if (!ReadRecord(r, list.back())) return FatalCode::kSettingsChecksum;
    }
    return 0;
}

// Everything is written, also beyond the limit (the reader then refuses the
// block): the problem is reported, and tests can craft such blocks.
template <typename Record>
[[gnu::noinline]] void WriteCountedList(SettingsWriter& w, const std::vector<Record>& list, const SettingsField& self) {
    if (list.size() > std::size_t(self.limit)) w.Problem("more than " + std::to_string(self.limit) + " entries");
    w.I32(std::int32_t(list.size()));
    for (const Record& record : list) WriteRecord(w, record);
}

template <auto Member>
constexpr SettingsField CountedListField(int row, const char* name, int checkCode, std::int32_t limit) {
    SettingsField f;
    f.row = row;
    f.name = name;
    f.encoding = SettingsEncoding::CountedList;
    f.checkCode = checkCode;
    f.limit = limit;
    f.read = [](SettingsReader& r, InstallerSettings& s, const SettingsField& self) -> int {
        return ReadCountedList(r, s.*Member, self);
    };
    f.write = [](SettingsWriter& w, const InstallerSettings& s, const SettingsField& self) {
        WriteCountedList(w, s.*Member, self);
    };
    f.equal = [](const InstallerSettings& a, const InstallerSettings& b) { return a.*Member == b.*Member; };
    return f;
}

// Fields with a layout of their own (settings_codecs.cpp, settings_lists.cpp):
// row 9 raw(24); row 43 i32 length, bytes, i32 `BitmapTPI`; row 53 raw(20);
// row 59 2 × u32; row 66 until "~~THE END~~"; row 73 until the UTF-16LE bytes
// of "~~THE~END~~"; row 74 the catalogue; row 75 the end marker.
#define PALISADE_SETTINGS_CUSTOM_FIELD(Name)                                        \
    int Read##Name(SettingsReader& r, InstallerSettings& s, const SettingsField& self); \
    void Write##Name(SettingsWriter& w, const InstallerSettings& s, const SettingsField& self); \
    bool Equal##Name(const InstallerSettings& a, const InstallerSettings& b);
PALISADE_SETTINGS_CUSTOM_FIELD(FileInstallationRecord)
PALISADE_SETTINGS_CUSTOM_FIELD(BackgroundPicture)
PALISADE_SETTINGS_CUSTOM_FIELD(MinimumSystemVersion)
PALISADE_SETTINGS_CUSTOM_FIELD(BuildDate)
PALISADE_SETTINGS_CUSTOM_FIELD(FileDeletions)
PALISADE_SETTINGS_CUSTOM_FIELD(AutoCloseEntries)
PALISADE_SETTINGS_CUSTOM_FIELD(Catalogue)
#undef PALISADE_SETTINGS_CUSTOM_FIELD
int ReadEndMarker(SettingsReader& r, InstallerSettings& s, const SettingsField& self);
void WriteEndMarker(SettingsWriter& w, const InstallerSettings& s, const SettingsField& self);

}  // namespace settings_codecs
}  // namespace palisade
