// Splitting, classifying and checking the lines of the registry entries text.
#include "actions/registry_entry_lines.h"

#include <limits>

#include "core/text.h"

namespace palisade {
namespace {

bool IsFieldBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && IsFieldBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsFieldBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A decimal number with an optional sign; negative numbers wrap into the
// unsigned range (-1 is all bits set), as the registry's own tools take them.
std::optional<std::uint64_t> ParseDecimal(std::u16string_view text, std::uint64_t maximum) {
    text = TrimBlanks(text);
    bool negative = !text.empty() && text.front() == u'-';
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t limit = negative ? maximum / 2 + 1 : maximum;
    std::uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        std::uint64_t digit = std::uint64_t(c - u'0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return negative ? (0 - value) & maximum : value;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Hexadecimal digit pairs after the blanks are removed.
std::optional<std::vector<std::uint8_t>> ParseHexPairs(std::u16string_view text) {
    std::u16string digits;
    for (char16_t c : text) {
        if (!IsBlank(c)) digits += c;
    }
    if (digits.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        int high = HexDigit(digits[i]);
        int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(std::uint8_t(high * 16 + low));
    }
    return bytes;
}

// Decodes the data of a writing line; why it does not fit the type, or empty.
std::string DecodeData(RegistryEntryLine& entry) {
    switch (entry.type) {
        case kRegSz:
        case kRegExpandSz: return {};
        case kRegBinary: {
            std::optional<std::vector<std::uint8_t>> bytes = ParseHexPairs(entry.data);
            if (!bytes) return "REG_BINARY data must be pairs of hexadecimal digits";
            entry.binary = std::move(*bytes);
            return {};
        }
        case kRegDword:
        case kRegQword: {
            bool dword = entry.type == kRegDword;
            std::uint64_t maximum = dword ? 0xFFFFFFFFull : std::numeric_limits<std::uint64_t>::max();
            std::optional<std::uint64_t> number = ParseDecimal(entry.data, maximum);
            if (!number) {
                return dword ? "REG_DWORD data must be a decimal number that fits 32 bits"
                             : "REG_QWORD data must be a decimal number that fits 64 bits";
            }
            entry.number = *number;
            return {};
        }
        default:
            return "the type must be 1 (REG_SZ), 2 (REG_EXPAND_SZ), 3 (REG_BINARY), 4 (REG_DWORD) or 11 (REG_QWORD)";
    }
}

RegistryEntryLine Illegal(std::string problem) {
    RegistryEntryLine line;
    line.kind = RegistryLineKind::Illegal;
    line.problem = std::move(problem);
    return line;
}

// Reads one field starting at `pos` (after its leading blanks); `pos` ends on
// the comma or at the end. False for an unclosed quote or text after one.
bool ReadField(std::u16string_view line, std::size_t& pos, std::u16string& field) {
    while (pos < line.size() && IsFieldBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != u'"') {
        std::size_t comma = line.find(u',', pos);
        std::size_t end = comma == std::u16string_view::npos ? line.size() : comma;
        field = std::u16string(TrimBlanks(line.substr(pos, end - pos)));
        pos = end;
        return true;
    }
    for (++pos;; ++pos) {
        if (pos >= line.size()) return false;
        if (line[pos] != u'"') {
            field += line[pos];
        } else if (pos + 1 < line.size() && line[pos + 1] == u'"') {
            field += u'"';
            ++pos;
        } else {
            break;
        }
    }
    ++pos;
    while (pos < line.size() && IsFieldBlank(line[pos])) ++pos;
    return pos >= line.size() || line[pos] == u',';
}

}  // namespace

bool OperationWrites(std::uint32_t operation) {
    return operation == 1 || operation == 3 || operation == 6 || operation == 7;
}
bool OperationKeepsExisting(std::uint32_t operation) { return operation == 6 || operation == 7; }
bool OperationDeletes(std::uint32_t operation) { return operation == 4 || operation == 5; }
bool OperationIsUndone(std::uint32_t operation) { return operation == 1 || operation == 5 || operation == 6; }

std::vector<std::u16string> SplitEntryLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();  // after the last line break
    return lines;
}

std::optional<std::vector<std::u16string>> SplitEntryFields(std::u16string_view line) {
    std::vector<std::u16string> fields;
    std::size_t pos = 0;
    for (;;) {
        std::u16string field;
        if (!ReadField(line, pos, field)) return std::nullopt;
        fields.push_back(std::move(field));
        if (pos >= line.size()) return fields;
        ++pos;  // the comma
    }
}

RegistryEntryLine ParseEntryLine(std::u16string_view text) {
    std::optional<std::vector<std::u16string>> fields = SplitEntryFields(text);
    if (!fields) return Illegal("a quote is not closed, or text follows a closing quote");
    RegistryEntryLine line;
    if (fields->size() == 1 && (*fields)[0].empty()) return line;  // Empty
    if (fields->size() != 1 && fields->size() != 5) {
        return Illegal("a line is a key (one field) or a value (five fields: key, name, type, data, operation), "
                       "not " + std::to_string(fields->size()) + " fields");
    }
    line.keyText = (*fields)[0];
    std::optional<RegistryPath> key = ParseRegistryPath(line.keyText);
    if (!key) return Illegal("the key must begin with a root: HKLM, HKCU, HKCR, HKU, HKCC, HKDD or HKAU (or its long name)");
    line.key = std::move(*key);
    if (fields->size() == 1) {
        line.kind = RegistryLineKind::Key;
        return line;
    }
    line.kind = RegistryLineKind::Value;
    line.valueName = (*fields)[1];
    line.data = (*fields)[3];
    std::optional<std::uint64_t> operation = ParseDecimal((*fields)[4], 0xFFFFFFFFull);
    if (!operation) return Illegal("the operation must be a decimal number");
    line.operation = std::uint32_t(*operation);
    if (!OperationWrites(line.operation)) return line;  // type and data play no part
    std::optional<std::uint64_t> type = ParseDecimal((*fields)[2], 0xFFFFFFFFull);
    if (!type) return Illegal("the type must be a decimal number");
    line.type = std::uint32_t(*type);
    if (std::string problem = DecodeData(line); !problem.empty()) return Illegal(std::move(problem));
    return line;
}

std::vector<std::uint8_t> EntryValueBytes(const RegistryEntryLine& line, std::u16string_view expandedData) {
    std::vector<std::uint8_t> bytes;
    auto appendText = [&bytes](std::u16string_view text) {
        for (char16_t c : text) {
            bytes.push_back(std::uint8_t(c & 0xFF));
            bytes.push_back(std::uint8_t(c >> 8));
        }
        bytes.push_back(0);
        bytes.push_back(0);
    };
    auto appendNumber = [&bytes](std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i) bytes.push_back(std::uint8_t(value >> (8 * i)));
    };
    switch (line.type) {
        case kRegSz: appendText(expandedData); break;
        case kRegExpandSz: appendText(line.data); break;
        case kRegBinary: bytes = line.binary; break;
        case kRegDword: appendNumber(line.number, 4); break;
        case kRegQword: appendNumber(line.number, 8); break;
        default: break;
    }
    return bytes;
}

}  // namespace palisade
