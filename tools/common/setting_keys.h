// The project file's names for the plain settings, derived from the settings schema.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "payload/settings.h"
#include "payload/settings_schema.h"

namespace palisade::tools {

// How a project file gives a setting's value.
enum class SettingValueKind {
    Integer,      // a number within [min, max]
    Double,
    WideText,     // any Unicode text
    NarrowText,   // text that must fit Windows-1252 (batches, addresses)
    FileContent,  // the path of a file whose bytes are stored
    FlagWord,     // a list of bit names (SettingsFlags1, SettingsFlags2)
};

// One plain setting: a schema field that holds one value of one encoding.
struct SettingKey {
    std::string key;  // the name in project files: the member's name, capitalised
    const SettingsField* field = nullptr;
    SettingValueKind kind = SettingValueKind::Integer;
    std::int64_t min = 0;
    std::int64_t max = 0;
};

// Every plain setting, in block order. Structured settings (lists, records,
// pictures, the catalogue) are not among them; the project reader handles those.
const std::vector<SettingKey>& PlainSettingKeys();
const SettingKey* FindSettingKey(std::string_view key);

// "displayName" -> "DisplayName".
std::string SettingKeyName(std::string_view memberName);

// The values of an integer setting that the installer accepts: the range of
// its encoding, narrowed by the field's own check (StatusDelay 0..9999,
// BitmapSize 0..100). The check is taken to accept one unbroken range.
struct IntegerRange {
    std::int64_t min = 0;
    std::int64_t max = 0;
};
IntegerRange AcceptedRange(const SettingKey& key);

// Other names a project file may use for a plain setting.
struct SettingAlias {
    const char* alias;
    const char* key;
};
const std::vector<SettingAlias>& SettingAliases();

// Stores a value through the field's own reader, so that the schema alone
// decides which member it lands in. False when the value does not fit the
// encoding (a number out of range, text beyond its length field, a
// character that Windows-1252 lacks).
bool StoreInteger(const SettingKey& key, std::int64_t value, InstallerSettings& settings);
bool StoreDouble(const SettingKey& key, double value, InstallerSettings& settings);
bool StoreText(const SettingKey& key, std::string_view utf8, InstallerSettings& settings);
bool StoreBytes(const SettingKey& key, const std::vector<std::uint8_t>& bytes, InstallerSettings& settings);

// A setting's value as stored, read back through the field's own writer.
using SettingValue = std::variant<std::int64_t, double, std::string /* UTF-8, or the byte count for files */>;
SettingValue LoadValue(const SettingKey& key, const InstallerSettings& settings);

// UTF-8 to Windows-1252; nothing when a character has no Windows-1252 form.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

// A narrow path text: plain ASCII as it is, anything else as "|" + UTF-8, which
// the installer reads whatever the target system's ANSI code page.
std::string NarrowPathText(std::string_view utf8);

}  // namespace palisade::tools
