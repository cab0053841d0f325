// The author's registry entries text: one entry per line, comma-separated
// fields (a field may be enclosed in double quotes). A line is a key to
// create (one field) or a value operation (five fields: key, value name,
// type, data, operation); anything else is illegal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/registry_path.h"

namespace palisade {

// The system's registry type numbers that an entry may name.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegQword = 11;

enum class RegistryLineKind {
    Empty,    // blank line: skipped
    Key,      // one field: create the key
    Value,    // five fields: write or delete a value
    Illegal,  // reported and skipped
};

struct RegistryEntryLine {
    RegistryLineKind kind = RegistryLineKind::Empty;
    RegistryPath key;           // Key and Value
    std::u16string keyText;     // the key field as written, for messages
    std::u16string valueName;   // empty: the key's default value
    std::uint32_t type = 0;     // kReg*; only checked when the operation writes
    std::u16string data;        // as written; REG_SZ data is expanded before writing
    std::uint32_t operation = 0;
    std::vector<std::uint8_t> binary;  // REG_BINARY, decoded
    std::uint64_t number = 0;          // REG_DWORD and REG_QWORD
    std::string problem;               // Illegal: why, in English (for the builder's report)
};

// Operations 1 and 3 replace a value, 6 and 7 write it only when it is
// missing, 4 and 5 delete it; any other number does nothing at installation.
bool OperationWrites(std::uint32_t operation);
bool OperationKeepsExisting(std::uint32_t operation);
bool OperationDeletes(std::uint32_t operation);
// Operations 1, 5 and 6 are undone at uninstallation; 3 and 7 leave the value for good.
bool OperationIsUndone(std::uint32_t operation);

// The lines of the text; CR LF, LF and CR all end a line.
std::vector<std::u16string> SplitEntryLines(std::u16string_view text);

// The fields of one line. Unquoted fields lose surrounding blanks; a quoted
// field keeps everything between its quotes, with "" standing for one quote.
// nullopt when a quote is not closed or text follows a closing quote.
std::optional<std::vector<std::u16string>> SplitEntryFields(std::u16string_view line);

// One line classified and checked: an unknown root, a type other than 1, 2,
// 3, 4, 11 for a writing operation, non-numeric type or operation fields, or
// data that does not fit the type make the line illegal.
RegistryEntryLine ParseEntryLine(std::u16string_view line);

// The bytes stored for a writing line: UTF-16LE with a terminating NUL for
// REG_SZ (`text` is the expanded data) and REG_EXPAND_SZ (the data as
// written), the decoded bytes for REG_BINARY, 4 or 8 little-endian bytes for
// REG_DWORD and REG_QWORD.
std::vector<std::uint8_t> EntryValueBytes(const RegistryEntryLine& line, std::u16string_view expandedData);

}  // namespace palisade
