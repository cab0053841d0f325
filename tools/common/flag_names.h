// Names of the bits of the payload's and the settings' flag words, for project files and the inspector.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palisade::tools {

struct FlagName {
    const char* name;
    std::uint32_t bit;
    const char* meaning;  // one line for the documentation and `inspect`
};

// The words a project file may name bits of, each with its table.
enum class FlagWord { PayloadFlags, SettingsFlags1, SettingsFlags2, InstallerOptions, ShortcutPlacement,
                      DeletionFlags };

const std::vector<FlagName>& FlagNames(FlagWord word);
const char* FlagWordName(FlagWord word);

// The bit called `name` (exact spelling) in `word`.
std::optional<std::uint32_t> FindFlag(FlagWord word, std::string_view name);

// The names of the set bits, low to high; bits without a name as "0x...".
std::vector<std::string> DescribeFlags(FlagWord word, std::uint32_t value);

}  // namespace palisade::tools
