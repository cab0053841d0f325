// The project file's settings: the plain ones through the schema, and the few records beside them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>

#include "actions/author_text_checks.h"
#include "builder/project_sections.h"
#include "builder/time_stamps.h"
#include "common/setting_keys.h"

namespace palisade::tools {

namespace {

const SettingKey* ResolveKey(std::string_view name) {
    for (const SettingAlias& alias : SettingAliases()) {
        if (name == alias.alias) return FindSettingKey(alias.key);
    }
    return FindSettingKey(name);
}

// Why a row may be left out of the block, in the project file's terms.
std::string PresenceCondition(int row) {
    switch (row) {
        case 45: return "CopyrightPos is not 0";
        case 46: return "SettingsFlags1 holds PageColours";
        case 47: return "SettingsFlags1 holds MasterProduct";
        case 65: return "SettingsFlags1 holds Uninstaller";
        default: return "the settings it depends on are given";
    }
}

// A text setting given inline, or as { file = "..." } whose UTF-8 content is the text.
std::optional<std::string> ReadTextValue(TomlReader& reader, Project& project, const toml::node& node,
                                         std::string_view key) {
    if (auto* text = node.as_string()) return text->get();
    if (auto* table = node.as_table()) {
        reader.CheckKnownKeys(*table, {"file"}, std::string(key));
        std::optional<std::string> path = reader.String(*table, "file");
        if (!path) {
            reader.Error(node, "'" + std::string(key) + "' needs a text or { file = \"...\" }");
            return std::nullopt;
        }
        auto bytes = ReadProjectFile(reader, project, node, *path);
        if (!bytes) return std::nullopt;
        return std::string(bytes->begin(), bytes->end());
    }
    reader.Error(node, "'" + std::string(key) + "' must be a string or { file = \"...\" }, not " +
                           TomlReader::TypeName(node));
    return std::nullopt;
}

bool StorePlainValue(TomlReader& reader, Project& project, const SettingKey& key, const toml::node& node,
                     std::string_view name, InstallerSettings& settings) {
    const std::string quoted = "'" + std::string(name) + "'";
    switch (key.kind) {
        case SettingValueKind::FlagWord: {
            FlagWord word = key.key == "SettingsFlags1" ? FlagWord::SettingsFlags1 : FlagWord::SettingsFlags2;
            auto value = ReadFlagWord(reader, node, word, name);
            return value && StoreInteger(key, *value, settings);
        }
        case SettingValueKind::Integer: {
            auto* value = node.as_integer();
            if (!value) {
                reader.Error(node, quoted + " must be an integer, not " + TomlReader::TypeName(node));
                return false;
            }
            if (StoreInteger(key, value->get(), settings)) return true;
            reader.Error(node, quoted + " must lie in " + std::to_string(key.min) + ".." + std::to_string(key.max) +
                                   ", not " + std::to_string(value->get()));
            return false;
        }
        case SettingValueKind::Double: {
            std::optional<double> value = node.value<double>();
            if (!value || (!node.is_floating_point() && !node.is_integer())) {
                reader.Error(node, quoted + " must be a number, not " + TomlReader::TypeName(node));
                return false;
            }
            return StoreDouble(key, *value, settings);
        }
        case SettingValueKind::FileContent: {
            auto* path = node.as_string();
            if (!path) {
                reader.Error(node, quoted + " must be the path of a file, not " + TomlReader::TypeName(node));
                return false;
            }
            auto bytes = ReadProjectFile(reader, project, node, path->get());
            if (!bytes) return false;
            if (StoreBytes(key, *bytes, settings)) return true;
            reader.Error(node, quoted + ": the file is too large for this setting");
            return false;
        }
        case SettingValueKind::WideText:
        case SettingValueKind::NarrowText: {
            std::optional<std::string> text = ReadTextValue(reader, project, node, name);
            if (!text) return false;
            if (StoreText(key, *text, settings)) return true;
            reader.Error(node, quoted + (key.kind == SettingValueKind::NarrowText
                                             ? " must be text that Windows-1252 can hold, without NUL characters"
                                             : " is too long for this setting or holds a NUL character"));
            return false;
        }
    }
    return false;
}

// The texts the installer acts on only in the middle of an installation,
// checked now with the installer's own checks: a mistake in one of them would
// otherwise half-install the product.
void CheckAuthorTexts(TomlReader& reader, const std::map<const SettingKey*, const toml::key*>& given,
                      const toml::table& root, const InstallerSettings& settings) {
    struct Checked {
        const char* key;
        std::vector<AuthorTextProblem> problems;
    };
    const Checked checks[] = {
        {"FirewallRules", CheckFirewallRules(settings.firewallRules)},
        {"RegistryEntries", CheckRegistryEntries(settings.registryEntries, settings.productRegistry)},
        {"ProductRegistry", CheckProductRegistry(settings.productRegistry)},
    };
    for (const Checked& check : checks) {
        auto found = given.find(FindSettingKey(check.key));
        if (found == given.end()) continue;
        const toml::node& node = *root.get(found->second->str());
        const std::string name = "'" + std::string(found->second->str()) + "'";
        for (const AuthorTextProblem& problem : check.problems) {
            reader.Error(node, (problem.line ? "line " + std::to_string(problem.line) + " of " + name : name) + ": " +
                                   problem.message);
        }
    }
}

}  // namespace

std::vector<std::string> PlainSettingTopKeys() {
    std::vector<std::string> keys;
    for (const SettingKey& key : PlainSettingKeys()) keys.push_back(key.key);
    for (const SettingAlias& alias : SettingAliases()) keys.push_back(alias.alias);
    return keys;
}

void ReadPlainSettings(TomlReader& reader, const toml::table& root, Project& project) {
    std::map<const SettingKey*, const toml::key*> given;
    for (auto&& [name, node] : root) {
        const SettingKey* key = ResolveKey(name.str());
        if (!key) continue;
        auto [previous, inserted] = given.emplace(key, &name);
        if (!inserted) {
            reader.Error(name, "'" + std::string(name.str()) + "' and '" + std::string(previous->second->str()) +
                                   "' name the same setting");
            continue;
        }
        if (!StorePlainValue(reader, project, *key, node, name.str(), project.settings)) continue;
        if (key->field->check && !key->field->check(project.settings)) {
            reader.Error(node, "the installer refuses this value of '" + std::string(name.str()) +
                                   "' (it would stop with error code " + std::to_string(key->field->checkCode) + ")");
        }
    }
    // Rows stored only under a condition: a value the block would leave out is a mistake.
    for (const auto& [key, name] : given) {
        if (key->field->present && !key->field->present(project.settings)) {
            reader.Error(*name, "'" + std::string(name->str()) + "' is stored only when " +
                                    PresenceCondition(key->field->row));
        }
    }
    CheckAuthorTexts(reader, given, root, project.settings);
    const SettingKey* nameKey = FindSettingKey("DisplayName");
    if (!given.count(nameKey)) {
        reader.Report().Error({reader.File(), 1, 1}, "the project needs a product name: ProductName = \"...\"");
    } else if (project.settings.displayName.empty() && root.get(given[nameKey]->str())->is_string()) {
        reader.Error(*given[nameKey], "the product name must not be empty");
    }
}

std::optional<std::uint32_t> ReadFlagWord(TomlReader& reader, const toml::node& node, FlagWord word,
                                          std::string_view key) {
    if (auto* number = node.as_integer()) {
        if (number->get() >= 0 && number->get() <= 0xFFFFFFFFll) return std::uint32_t(number->get());
        reader.Error(node, "'" + std::string(key) + "' must fit 32 bits");
        return std::nullopt;
    }
    const toml::array* list = node.as_array();
    if (!list) {
        reader.Error(node, "'" + std::string(key) + "' must be a list of names, e.g. [\"" +
                               FlagNames(word).front().name + "\"], not " + TomlReader::TypeName(node));
        return std::nullopt;
    }
    std::uint32_t value = 0;
    bool good = true;
    for (const toml::node& element : *list) {
        if (auto* number = element.as_integer(); number && number->get() >= 0 && number->get() <= 0xFFFFFFFFll) {
            value |= std::uint32_t(number->get());
            continue;
        }
        auto* name = element.as_string();
        std::optional<std::uint32_t> bit;
        if (name && name->get().rfind("0x", 0) == 0) {
            char* end = nullptr;
            unsigned long parsed = std::strtoul(name->get().c_str() + 2, &end, 16);
            if (end && *end == '\0' && name->get().size() > 2 && parsed <= 0xFFFFFFFFul) bit = std::uint32_t(parsed);
        } else if (name) {
            bit = FindFlag(word, name->get());
        }
        if (bit) {
            value |= *bit;
            continue;
        }
        std::string message = "unknown " + std::string(FlagWordName(word)) + " name " +
                              (name ? "'" + name->get() + "'" : TomlReader::TypeName(element));
        std::string suggestion = name ? SuggestKey(name->get(), FlagKeyNames(word)) : "";
        if (!suggestion.empty()) message += " (did you mean '" + suggestion + "'?)";
        reader.Error(element, message);
        good = false;
    }
    if (!good) return std::nullopt;
    return value;
}

std::vector<std::string> FlagKeyNames(FlagWord word) {
    std::vector<std::string> names;
    for (const FlagName& flag : FlagNames(word)) names.push_back(flag.name);
    return names;
}

}  // namespace palisade::tools
