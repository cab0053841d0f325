// The keys of the project file besides the plain settings: one table that the
// readers check names against and that `palisade keys` and the JSON Schema print.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/flag_names.h"

namespace palisade::tools {

enum class KeyType {
    Boolean,
    Integer,      // within [min, max]
    Size,         // an integer of bytes, or a text such as "8 MiB"
    Text,
    FilePath,     // a path relative to the project file
    FilePathList, // a list of such paths
    TextList,     // one text or a list of texts
    FlagList,     // a list of bit names of `flagWord` (integers and "0x..." stand for bits too)
    Choice,       // one of `choices`
    ChoiceList,   // a list of `choices`
    DateTime,     // a text or a TOML date or date-time
    Table,        // a table of `members`
    TableList,    // an array of tables of `members`
};

struct ProjectKey {
    std::string name;
    KeyType type = KeyType::Text;
    std::string description;
    std::string defaultJson;            // the default as JSON text; empty: none
    std::int64_t min = 0;
    std::int64_t max = 0;
    FlagWord flagWord = FlagWord::PayloadFlags;
    std::vector<std::string> excludedFlags;  // bit names the key refuses
    std::vector<std::string> choices;
    std::string pattern;                // a regular expression a text must match; empty: any
    bool required = false;
    std::int64_t maxItems = 0;          // lists: most entries; 0: no limit
    std::vector<std::string> requireAnyOf;  // tables: at least one of these members
    std::vector<ProjectKey> members;    // Table and TableList
};

// Top-level keys that are settings but not plain ones (flag words of the
// payload header, records, documents, lists of records).
const std::vector<ProjectKey>& StructuredSettingKeyTable();
// The project's own tables: `[build]`, `[[files]]` and `[[languages]]`.
const std::vector<ProjectKey>& ProjectTableKeys();

const ProjectKey* FindProjectKey(const std::vector<ProjectKey>& keys, const std::string& name);
std::vector<std::string> KeyNames(const std::vector<ProjectKey>& keys);

// The members of a table key of either list above, by the key's name ("build",
// "files", "FileDeletions", ...); empty when there is no such table.
const std::vector<ProjectKey>& MembersOf(const std::string& tableKey);

}  // namespace palisade::tools
