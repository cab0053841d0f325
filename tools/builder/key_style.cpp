// Accepting snake_case and PascalCase spellings of table members alike.
#include "builder/key_style.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "common/project_keys.h"

namespace palisade::tools {

namespace {

bool IsSnake(const std::string& key) {
    return !key.empty() && !std::isupper(static_cast<unsigned char>(key[0]));
}

void RenameMembers(TomlReader& reader, toml::table& table, const std::vector<std::string>& known) {
    std::vector<std::string> renamed;
    for (auto&& [key, node] : table) {
        const std::string name(key.str());
        if (std::find(known.begin(), known.end(), name) != known.end()) continue;
        std::string own = OtherKeyStyle(name);
        if (own == name || std::find(known.begin(), known.end(), own) == known.end()) continue;
        if (table.contains(own)) {
            reader.Error(key, "'" + name + "' and '" + own + "' name the same key");
            continue;
        }
        renamed.push_back(name);
    }
    for (const std::string& name : renamed) {
        // Moved, not copied: the node keeps its place in the file (toml++
        // copies leave it behind), so later errors point at it.
        toml::node* node = table.get(name);
        toml::key own(OtherKeyStyle(name), table.find(name)->first.source());
        node->visit([&](auto& value) { table.insert(own, std::move(value)); });
        table.erase(name);
    }
}

}  // namespace

std::string OtherKeyStyle(const std::string& key) {
    std::string other;
    if (IsSnake(key)) {
        bool upper = true;
        for (char c : key) {
            if (c == '_') {
                upper = true;
                continue;
            }
            other += upper ? char(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        }
    } else {
        for (std::size_t i = 0; i < key.size(); ++i) {
            char c = key[i];
            if (std::isupper(static_cast<unsigned char>(c))) {
                if (i > 0) other += '_';
                other += char(std::tolower(static_cast<unsigned char>(c)));
            } else {
                other += c;
            }
        }
    }
    return other;
}

void AcceptBothKeyStyles(TomlReader& reader, toml::table& root) {
    for (const std::vector<ProjectKey>* keys : {&StructuredSettingKeyTable(), &ProjectTableKeys()}) {
        for (const ProjectKey& key : *keys) {
            if (key.members.empty()) continue;
            std::vector<std::string> known = KeyNames(key.members);
            toml::node* node = root.get(key.name);
            if (!node) continue;
            if (toml::table* table = node->as_table()) RenameMembers(reader, *table, known);
            if (toml::array* list = node->as_array()) {
                for (toml::node& element : *list) {
                    if (toml::table* table = element.as_table()) RenameMembers(reader, *table, known);
                }
            }
        }
    }
}

}  // namespace palisade::tools
