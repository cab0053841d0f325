// `palisade keys`: lists every settings key of the project file with its type and default.
#include "builder/keys_command.h"

#include <cstdio>

#include "builder/project_schema.h"
#include "common/flag_names.h"
#include "common/project_keys.h"
#include "common/setting_descriptions.h"
#include "common/setting_keys.h"

namespace palisade::tools {

namespace {

std::string TypeText(const SettingKey& key) {
    switch (key.kind) {
        case SettingValueKind::Integer: {
            IntegerRange range = AcceptedRange(key);
            return "integer " + std::to_string(range.min) + ".." + std::to_string(range.max);
        }
        case SettingValueKind::Double: return "number";
        case SettingValueKind::WideText: return "text";
        case SettingValueKind::NarrowText: return "text (Windows-1252)";
        case SettingValueKind::FileContent: return "file path";
        case SettingValueKind::FlagWord: return "list of names";
    }
    return "";
}

std::string DefaultText(const SettingKey& key) {
    SettingValue value = LoadValue(key, InstallerSettings{});
    if (auto* number = std::get_if<std::int64_t>(&value)) {
        if (key.max > 0xFFFF && *number > 0xFFFF) {
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%llx", static_cast<unsigned long long>(*number));
            return hex;
        }
        return std::to_string(*number);
    }
    if (auto* real = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", *real);
        return text;
    }
    if (key.kind == SettingValueKind::FileContent) return "none";
    const std::string& text = std::get<std::string>(value);
    return text.empty() ? "\"\"" : "\"" + text + "\"";
}

std::string ProjectKeyType(const ProjectKey& key) {
    switch (key.type) {
        case KeyType::Boolean: return "true or false";
        case KeyType::Integer: return "integer " + std::to_string(key.min) + ".." + std::to_string(key.max);
        case KeyType::Size: return "size";
        case KeyType::Text: return "text";
        case KeyType::FilePath: return "file path";
        case KeyType::FilePathList: return "list of file paths";
        case KeyType::TextList: return "text or list";
        case KeyType::FlagList: return std::string("list of ") + FlagWordName(key.flagWord) + " names";
        case KeyType::Choice: return "one name";
        case KeyType::ChoiceList: return "list of names";
        case KeyType::DateTime: return "date-time";
        case KeyType::Table: return "table";
        case KeyType::TableList: return "list of tables";
    }
    return "";
}

// The keys of the project key table, members indented below their table.
void PrintProjectKeys(const std::vector<ProjectKey>& keys, const std::string& indent) {
    for (const ProjectKey& key : keys) {
        std::string name = indent + key.name + (key.required ? " (required)" : "");
        std::printf("%-40s %-22s %-14s %s\n", name.c_str(), ProjectKeyType(key).c_str(),
                    key.defaultJson.empty() ? "-" : key.defaultJson.c_str(), key.description.c_str());
        if (!key.choices.empty()) {
            std::string names;
            for (const std::string& choice : key.choices) names += " " + choice;
            std::printf("%-40s one of:%s\n", "", names.c_str());
        }
        PrintProjectKeys(key.members, indent + "  ");
    }
}

void PrintPlainKeys(bool markdown) {
    if (markdown) std::printf("| Key | Type | Default | Row |\n|---|---|---|---|\n");
    for (const SettingKey& key : PlainSettingKeys()) {
        std::string name = markdown ? "`" + key.key + "`" : key.key;
        for (const SettingAlias& alias : SettingAliases()) {
            if (key.key == alias.key) name += markdown ? std::string(" (or `") + alias.alias + "`)" : std::string(" / ") + alias.alias;
        }
        if (markdown) {
            std::printf("| %s | %s | %s | %d |\n", name.c_str(), TypeText(key).c_str(), DefaultText(key).c_str(),
                        key.field->row);
        } else {
            const char* description = SettingDescription(key.key);
            std::printf("%-40s %-22s %-14s %s\n", name.c_str(), TypeText(key).c_str(), DefaultText(key).c_str(),
                        description ? description : "");
        }
    }
}

}  // namespace

int RunKeysCommand(const std::vector<std::string>& arguments) {
    std::string option = arguments.empty() ? "" : arguments[0];
    if (arguments.size() > 1 || (!option.empty() && option != "--markdown" && option != "--json-schema")) {
        std::fputs("Usage: palisade keys [--markdown | --json-schema]\n", stderr);
        return 2;
    }
    if (option == "--json-schema") {
        std::fputs(ProjectSchemaJson().c_str(), stdout);
        return 0;
    }
    bool markdown = option == "--markdown";
    PrintPlainKeys(markdown);
    if (!markdown) {
        std::printf("\nSettings that are records or lists:\n");
        PrintProjectKeys(StructuredSettingKeyTable(), "  ");
        std::printf("\nThe project's tables:\n");
        PrintProjectKeys(ProjectTableKeys(), "  ");
    }
    for (FlagWord word : {FlagWord::SettingsFlags1, FlagWord::SettingsFlags2, FlagWord::PayloadFlags,
                          FlagWord::InstallerOptions, FlagWord::ShortcutPlacement, FlagWord::DeletionFlags}) {
        std::printf(markdown ? "\nNames of %s:\n\n| Name | Bit | Meaning |\n|---|---|---|\n" : "\n%s:\n",
                    FlagWordName(word));
        for (const FlagName& flag : FlagNames(word)) {
            std::printf(markdown ? "| `%s` | 0x%x | %s |\n" : "  %-30s 0x%-9x %s\n", flag.name, flag.bit, flag.meaning);
        }
    }
    return 0;
}

}  // namespace palisade::tools
