// Typed reading of toml++ tables with errors that name the file, line and column.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

#include "common/diagnostics.h"

namespace palisade::tools {

// Parses a TOML file; syntax errors become one diagnostic with toml++'s
// position, a file that cannot be read one that says why.
std::optional<toml::table> ParseTomlFile(const std::string& path, Diagnostics& diagnostics);
// The same for text already read; `path` names it in diagnostics.
std::optional<toml::table> ParseTomlText(std::string_view text, const std::string& path, Diagnostics& diagnostics);

// The closest of `candidates` to `word` by edit distance, when it is close
// enough to be a likely typo; empty otherwise.
std::string SuggestKey(std::string_view word, const std::vector<std::string>& candidates);

// Reads values out of the tables of one file, reporting every misuse once.
class TomlReader {
public:
    TomlReader(std::string file, Diagnostics& diagnostics) : m_file(std::move(file)), m_diagnostics(diagnostics) {}

    const std::string& File() const { return m_file; }
    Diagnostics& Report() { return m_diagnostics; }
    SourcePlace PlaceOf(const toml::node& node) const;
    SourcePlace PlaceOf(const toml::key& key) const;
    void Error(const toml::node& node, std::string message) { m_diagnostics.Error(PlaceOf(node), std::move(message)); }
    void Error(const toml::key& key, std::string message) { m_diagnostics.Error(PlaceOf(key), std::move(message)); }

    // Reports each key of `table` outside `known` ("unknown key 'x' in [where]").
    void CheckKnownKeys(const toml::table& table, const std::vector<std::string>& known, std::string_view where);

    // Each getter returns nothing when the key is absent, and nothing plus an
    // error when the value has the wrong type or lies outside its range.
    std::optional<std::string> String(const toml::table& table, std::string_view key);
    std::optional<bool> Bool(const toml::table& table, std::string_view key);
    std::optional<std::int64_t> Integer(const toml::table& table, std::string_view key, std::int64_t min,
                                        std::int64_t max);
    std::optional<double> Number(const toml::table& table, std::string_view key);
    std::optional<std::vector<std::string>> StringList(const toml::table& table, std::string_view key);
    // An array of tables, e.g. `[[files]]`; an empty list when absent.
    std::vector<const toml::table*> TableList(const toml::table& table, std::string_view key);
    const toml::table* Table(const toml::table& table, std::string_view key);

    // The name of a value's TOML type, for messages ("a string", "an integer").
    static std::string TypeName(const toml::node& node);

private:
    void WrongType(const toml::node& node, std::string_view key, std::string_view wanted);

    std::string m_file;
    Diagnostics& m_diagnostics;
};

}  // namespace palisade::tools
