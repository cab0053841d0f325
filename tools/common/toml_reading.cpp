// Typed reading of toml++ tables with errors that name the file, line and column.
#include "common/toml_reading.h"

#include <algorithm>

#include "common/file_reading.h"

namespace palisade::tools {

std::optional<toml::table> ParseTomlFile(const std::string& path, Diagnostics& diagnostics) {
    FileBytes file = ReadFileBytes(path);
    if (!file.Ok()) {
        diagnostics.Error({path}, file.error);
        return std::nullopt;
    }
    return ParseTomlText(std::string(file.bytes.begin(), file.bytes.end()), path, diagnostics);
}

std::optional<toml::table> ParseTomlText(std::string_view text, const std::string& path, Diagnostics& diagnostics) {
    toml::parse_result result = toml::parse(text, path);
    if (result) return std::move(result).table();
    const toml::parse_error& error = result.error();
    SourcePlace place{path, int(error.source().begin.line), int(error.source().begin.column)};
    diagnostics.Error(place, std::string(error.description()));
    return std::nullopt;
}

namespace {

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

}  // namespace

std::string SuggestKey(std::string_view word, const std::vector<std::string>& candidates) {
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const std::string& candidate : candidates) {
        std::size_t distance = EditDistance(word, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

SourcePlace TomlReader::PlaceOf(const toml::node& node) const {
    return {m_file, int(node.source().begin.line), int(node.source().begin.column)};
}

SourcePlace TomlReader::PlaceOf(const toml::key& key) const {
    return {m_file, int(key.source().begin.line), int(key.source().begin.column)};
}

void TomlReader::CheckKnownKeys(const toml::table& table, const std::vector<std::string>& known,
                                std::string_view where) {
    for (auto&& [key, node] : table) {
        if (std::find(known.begin(), known.end(), key.str()) != known.end()) continue;
        std::string message = "unknown key '" + std::string(key.str()) + "' in " + std::string(where);
        std::string suggestion = SuggestKey(key.str(), known);
        if (!suggestion.empty()) message += " (did you mean '" + suggestion + "'?)";
        Error(key, message);
    }
}

std::string TomlReader::TypeName(const toml::node& node) {
    switch (node.type()) {
        case toml::node_type::string: return "a string";
        case toml::node_type::integer: return "an integer";
        case toml::node_type::floating_point: return "a floating-point number";
        case toml::node_type::boolean: return "a boolean";
        case toml::node_type::date: return "a date";
        case toml::node_type::time: return "a time";
        case toml::node_type::date_time: return "a date-time";
        case toml::node_type::array: return "an array";
        case toml::node_type::table: return "a table";
        default: return "nothing";
    }
}

void TomlReader::WrongType(const toml::node& node, std::string_view key, std::string_view wanted) {
    Error(node, "'" + std::string(key) + "' must be " + std::string(wanted) + ", not " + TypeName(node));
}

std::optional<std::string> TomlReader::String(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (!node) return std::nullopt;
    if (auto* value = node->as_string()) return value->get();
    WrongType(*node, key, "a string");
    return std::nullopt;
}

std::optional<bool> TomlReader::Bool(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (!node) return std::nullopt;
    if (auto* value = node->as_boolean()) return value->get();
    WrongType(*node, key, "true or false");
    return std::nullopt;
}

std::optional<std::int64_t> TomlReader::Integer(const toml::table& table, std::string_view key, std::int64_t min,
                                                std::int64_t max) {
    const toml::node* node = table.get(key);
    if (!node) return std::nullopt;
    auto* value = node->as_integer();
    if (!value) {
        WrongType(*node, key, "an integer");
        return std::nullopt;
    }
    if (value->get() < min || value->get() > max) {
        Error(*node, "'" + std::string(key) + "' must lie in " + std::to_string(min) + ".." + std::to_string(max) +
                         ", not " + std::to_string(value->get()));
        return std::nullopt;
    }
    return value->get();
}

std::optional<double> TomlReader::Number(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (!node) return std::nullopt;
    if (auto* value = node->as_floating_point()) return value->get();
    if (auto* value = node->as_integer()) return double(value->get());
    WrongType(*node, key, "a number");
    return std::nullopt;
}

std::optional<std::vector<std::string>> TomlReader::StringList(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (!node) return std::nullopt;
    if (auto* text = node->as_string()) return std::vector<std::string>{text->get()};
    auto* array = node->as_array();
    if (!array) {
        WrongType(*node, key, "a string or an array of strings");
        return std::nullopt;
    }
    std::vector<std::string> list;
    bool good = true;
    for (const toml::node& element : *array) {
        if (auto* text = element.as_string()) {
            list.push_back(text->get());
        } else {
            Error(element, "the elements of '" + std::string(key) + "' must be strings, not " + TypeName(element));
            good = false;
        }
    }
    if (!good) return std::nullopt;
    return list;
}

std::vector<const toml::table*> TomlReader::TableList(const toml::table& table, std::string_view key) {
    std::vector<const toml::table*> list;
    const toml::node* node = table.get(key);
    if (!node) return list;
    auto* array = node->as_array();
    if (!array) {
        Error(*node, "'" + std::string(key) + "' must be an array of tables ([[" + std::string(key) + "]])");
        return list;
    }
    for (const toml::node& element : *array) {
        if (auto* entry = element.as_table()) {
            list.push_back(entry);
        } else {
            Error(element, "the entries of '" + std::string(key) + "' must be tables, not " + TypeName(element));
        }
    }
    return list;
}

const toml::table* TomlReader::Table(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (!node) return nullptr;
    if (auto* value = node->as_table()) return value;
    WrongType(*node, key, "a table ([" + std::string(key) + "])");
    return nullptr;
}

}  // namespace palisade::tools
