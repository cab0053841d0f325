// The values written under the product's key in the list of installed
// programs, in the order they are written, as a pure function of the
// settings, the run state and a few facts of this run.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/registry_path.h"
#include "core/calendar_time.h"
#include "log/installation_record.h"
#include "payload/settings.h"
#include "variables/installation_state.h"

namespace palisade {

inline constexpr std::u16string_view kInstalledProgramsKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

enum class ProductValueKind {
    Text,        // REG_SZ
    ExpandText,  // REG_EXPAND_SZ
    Dword,       // REG_DWORD
    Qword,       // REG_QWORD
    Delete,      // the value is removed instead of written
};


struct ProductKeyValue {
    std::u16string name;
    ProductValueKind kind = ProductValueKind::Text;
    std::u16string text;        // Text and ExpandText
    std::uint64_t number = 0;   // Dword and Qword
    // An author's value whose name holds a backslash lives in another key.
    std::optional<RegistryPath> otherKey;
    std::u16string authorName;  // the author's full name, for the failure text; empty for the table's values
    bool unknownRoot = false;   // an author's key path whose root is not known: not written, reported
};

// What the settings and the state do not tell.
struct ProductKeyFacts {
    std::u16string uninstallerPath;
    std::u16string installSource;      // the folder the installer ran from
    std::uint64_t installedBytes = 0;  // total size of the installed files
    bool productIconSaved = false;     // product.ico lies in the uninstall data folder
    std::int64_t session = 0;          // the run identifier
    CalendarTime date;
};

// The SHA-256 of Uninstall.DAT as written, which the uninstaller checks
// before it acts on the file; written after the file, last of the values.
inline constexpr char16_t kUninstallDataHashValue[] = u"UninstallDataSha256";

// The product key below HKEY_LOCAL_MACHINE: the uninstall list key joined with
// the name given to "/u:".
std::u16string ProductKeyPath(const InstallerSettings& settings);

// "/u:\"name\"".
std::u16string UninstallArguments(const InstallerSettings& settings);

// The uninstaller: the uninstall data folder joined with the uninstaller file name.
// The uninstaller's file name when the settings give none.
inline constexpr char16_t kDefaultUninstallerFileName[] = u"uninstall.exe";
std::u16string UninstallerPath(const InstallerSettings& settings, const InstallationState& state);

// "yyyymmdd".
std::u16string InstallDateText(const CalendarTime& date);

// A size factor as decimal text with up to six decimals ("1", "1.5", "0.333333").
std::u16string DecimalText(double value);

// The leading decimal number of `text` (blanks and a sign allowed); 0 when none.
std::uint32_t LeadingNumber(std::u16string_view text);

struct ProductKeyPlan {
    std::vector<ProductKeyValue> values;  // in writing order
    // The author's value type that is none of 1, 2, 4; the run must end with
    // fatal error 200 before anything is written.
    std::optional<std::uint8_t> badAuthorType;
};

using ExpandText = std::function<std::u16string(std::u16string_view)>;

ProductKeyPlan PlanProductKeyValues(const InstallerSettings& settings, std::uint32_t payloadFlags,
                                    const InstallationState& state, const InstallationRecord& record,
                                    const ProductKeyFacts& facts, const ExpandText& expand);

// The author's value as written; nullopt for a type other than 1, 2 or 4.
// A name with a backslash is split at its last one into key and value name;
// a key with an unknown root (or "HKAU", which names no one key) sets `unknownRoot`.
std::optional<ProductKeyValue> ResolveAuthorValue(const UninstallValue& value, std::u16string expandedText);

// "Failed to save data in registry key \"%s\": %s\r\n".
std::u16string AuthorValueFailureText(std::u16string_view name, std::u16string_view errorText);

}  // namespace palisade
