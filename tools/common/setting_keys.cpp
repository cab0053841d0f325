// The project file's names for the plain settings, derived from the settings schema.
#include "common/setting_keys.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>

#include "core/text.h"

namespace palisade::tools {

namespace {

// Byte-string settings whose value is the content of a file (icons, sounds,
// a registry merge file) rather than text.
const char* const kFileContentMembers[] = {"desktopFolderIcon", "startupSound", "registryMerge", "uninstallerIcon",
                                           "productIcon"};

bool IsStringEncoding(SettingsEncoding encoding) {
    return encoding == SettingsEncoding::CompactString || encoding == SettingsEncoding::String8 ||
           encoding == SettingsEncoding::String16 || encoding == SettingsEncoding::String32;
}

void WriteString(SettingsWriter& writer, SettingsEncoding encoding, std::string_view bytes) {
    switch (encoding) {
        case SettingsEncoding::CompactString: writer.CompactString(bytes); break;
        case SettingsEncoding::String8: writer.String8(bytes); break;
        case SettingsEncoding::String16: writer.String16(bytes); break;
        case SettingsEncoding::String32: writer.String32(bytes); break;
        case SettingsEncoding::NarrowText: writer.NarrowText(bytes); break;
        default: writer.Problem("not a string"); break;
    }
}

std::optional<std::string> ReadString(SettingsReader& reader, SettingsEncoding encoding) {
    switch (encoding) {
        case SettingsEncoding::CompactString: return reader.CompactString();
        case SettingsEncoding::String8: return reader.String8();
        case SettingsEncoding::String16: return reader.String16();
        case SettingsEncoding::String32: return reader.String32();
        case SettingsEncoding::NarrowText: return reader.NarrowText();
        case SettingsEncoding::WideText: {
            auto text = reader.WideText();
            if (!text) return std::nullopt;
            return EncodeUtf16Le(*text);
        }
        default: return std::nullopt;
    }
}

// Lets the field's own reader take bytes written in its encoding.
bool StoreEncoded(const SettingKey& key, const SettingsWriter& writer, InstallerSettings& settings) {
    if (!writer.Problems().empty()) return false;
    SettingsReader reader(writer.Bytes());
    return key.field->read(reader, settings, *key.field) == 0 && reader.Remaining() == 0;
}

// A wide member drops the odd last byte of its UTF-16LE bytes, so two texts
// that differ only there read back equal; a byte-preserving member keeps them apart.
bool HoldsWideText(const SettingsField& field) {
    InstallerSettings a, b;
    SettingsWriter first, second;
    WriteString(first, field.encoding, std::string_view("AB\x01", 3));
    WriteString(second, field.encoding, std::string_view("AB\x02", 3));
    SettingsReader readFirst(first.Bytes()), readSecond(second.Bytes());
    if (field.read(readFirst, a, field) != 0 || field.read(readSecond, b, field) != 0) return false;
    return field.equal(a, b);
}

std::optional<SettingKey> ClassifyField(const SettingsField& field) {
    SettingKey key{SettingKeyName(field.name), &field};
    std::string member = field.name;
    switch (field.encoding) {
        case SettingsEncoding::U8: key.max = 0xFF; break;
        case SettingsEncoding::U16: key.max = 0xFFFF; break;
        case SettingsEncoding::U32: key.max = 0xFFFFFFFFll; break;
        case SettingsEncoding::I32:
            key.min = std::numeric_limits<std::int32_t>::min();
            key.max = std::numeric_limits<std::int32_t>::max();
            break;
        case SettingsEncoding::Double: key.kind = SettingValueKind::Double; break;
        case SettingsEncoding::WideText: key.kind = SettingValueKind::WideText; break;
        case SettingsEncoding::NarrowText: key.kind = SettingValueKind::NarrowText; break;
        default:
            if (!IsStringEncoding(field.encoding)) return std::nullopt;
            if (HoldsWideText(field)) {
                key.kind = SettingValueKind::WideText;
            } else if (std::find(std::begin(kFileContentMembers), std::end(kFileContentMembers), member) !=
                       std::end(kFileContentMembers)) {
                key.kind = SettingValueKind::FileContent;
            } else {
                key.kind = SettingValueKind::NarrowText;
            }
    }
    if (member == "settingsFlags1" || member == "settingsFlags2") key.kind = SettingValueKind::FlagWord;
    return key;
}

}  // namespace

std::string SettingKeyName(std::string_view memberName) {
    std::string key(memberName);
    if (!key.empty()) key[0] = char(std::toupper(static_cast<unsigned char>(key[0])));
    return key;
}

const std::vector<SettingKey>& PlainSettingKeys() {
    static const std::vector<SettingKey> keys = [] {
        std::vector<SettingKey> list;
        for (const SettingsField& field : SettingsSchema()) {
            if (!field.read || !field.write || !field.equal) continue;
            if (auto key = ClassifyField(field)) list.push_back(*key);
        }
        return list;
    }();
    return keys;
}

const SettingKey* FindSettingKey(std::string_view key) {
    for (const SettingKey& candidate : PlainSettingKeys()) {
        if (candidate.key == key) return &candidate;
    }
    return nullptr;
}

const std::vector<SettingAlias>& SettingAliases() {
    static const std::vector<SettingAlias> aliases = {
        {"ProductName", "DisplayName"},
        {"ProductVersion", "DisplayVersion"},
        {"CompanyName", "Publisher"},
    };
    return aliases;
}

bool StoreInteger(const SettingKey& key, std::int64_t value, InstallerSettings& settings) {
    if (key.kind != SettingValueKind::Integer && key.kind != SettingValueKind::FlagWord) return false;
    if (value < key.min || value > key.max) return false;
    SettingsWriter writer;
    switch (key.field->encoding) {
        case SettingsEncoding::U8: writer.U8(std::uint8_t(value)); break;
        case SettingsEncoding::U16: writer.U16(std::uint16_t(value)); break;
        case SettingsEncoding::U32: writer.U32(std::uint32_t(value)); break;
        case SettingsEncoding::I32: writer.I32(std::int32_t(value)); break;
        default: return false;
    }
    return StoreEncoded(key, writer, settings);
}

IntegerRange AcceptedRange(const SettingKey& key) {
    IntegerRange range{key.min, key.max};
    if (key.kind != SettingValueKind::Integer || !key.field->check) return range;
    auto accepted = [&key](std::int64_t value) {
        InstallerSettings settings;
        return StoreInteger(key, value, settings) && key.field->check(settings);
    };
    std::int64_t inside = std::get<std::int64_t>(LoadValue(key, InstallerSettings{}));
    if (!accepted(inside)) return range;
    // The last accepted value above the default, and the first below it, by halving.
    std::int64_t good = inside, bad = key.max + 1;
    while (bad - good > 1) {
        std::int64_t middle = good + (bad - good) / 2;
        (accepted(middle) ? good : bad) = middle;
    }
    range.max = good;
    good = inside;
    bad = key.min - 1;
    while (good - bad > 1) {
        std::int64_t middle = good - (good - bad) / 2;
        (accepted(middle) ? good : bad) = middle;
    }
    range.min = good;
    return range;
}

bool StoreDouble(const SettingKey& key, double value, InstallerSettings& settings) {
    if (key.kind != SettingValueKind::Double) return false;
    SettingsWriter writer;
    writer.Double(value);
    return StoreEncoded(key, writer, settings);
}

bool StoreText(const SettingKey& key, std::string_view utf8, InstallerSettings& settings) {
    SettingsWriter writer;
    if (key.kind == SettingValueKind::WideText) {
        std::u16string text = Utf8ToUtf16(utf8);
        if (text.find(u'\0') != std::u16string::npos && key.field->encoding == SettingsEncoding::WideText) return false;
        if (key.field->encoding == SettingsEncoding::WideText) {
            writer.WideText(text);
        } else {
            WriteString(writer, key.field->encoding, EncodeUtf16Le(text));
        }
    } else if (key.kind == SettingValueKind::NarrowText) {
        std::optional<std::string> narrow = Utf8ToWindows1252(utf8);
        if (!narrow) return false;
        WriteString(writer, key.field->encoding, *narrow);
    } else {
        return false;
    }
    return StoreEncoded(key, writer, settings);
}

bool StoreBytes(const SettingKey& key, const std::vector<std::uint8_t>& bytes, InstallerSettings& settings) {
    if (key.kind != SettingValueKind::FileContent) return false;
    SettingsWriter writer;
    WriteString(writer, key.field->encoding, AsByteString(bytes));
    return StoreEncoded(key, writer, settings);
}

SettingValue LoadValue(const SettingKey& key, const InstallerSettings& settings) {
    SettingsWriter writer;
    key.field->write(writer, settings, *key.field);
    SettingsReader reader(writer.Bytes());
    switch (key.field->encoding) {
        case SettingsEncoding::U8: return std::int64_t(reader.U8().value_or(0));
        case SettingsEncoding::U16: return std::int64_t(reader.U16().value_or(0));
        case SettingsEncoding::U32: return std::int64_t(reader.U32().value_or(0));
        case SettingsEncoding::I32: return std::int64_t(reader.I32().value_or(0));
        case SettingsEncoding::Double: return reader.Double().value_or(0.0);
        default: break;
    }
    std::string bytes = ReadString(reader, key.field->encoding).value_or("");
    switch (key.kind) {
        case SettingValueKind::WideText: return Utf16ToUtf8(DecodeUtf16Le(bytes));
        case SettingValueKind::NarrowText: return Utf16ToUtf8(DecodeNarrowText(bytes));
        default: return std::to_string(bytes.size()) + " bytes";
    }
}

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
    static const std::map<char16_t, char> reverse = [] {
        std::map<char16_t, char> table;
        for (int byte = 0; byte < 256; ++byte) {
            char narrow = char(byte);
            table[Windows1252ToUtf16(std::string_view(&narrow, 1))[0]] = narrow;
        }
        return table;
    }();
    std::string out;
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        auto found = reverse.find(unit);
        if (found == reverse.end()) return std::nullopt;
        out += found->second;
    }
    return out;
}

std::string NarrowPathText(std::string_view utf8) {
    bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::string(utf8) : "|" + std::string(utf8);
}

}  // namespace palisade::tools
