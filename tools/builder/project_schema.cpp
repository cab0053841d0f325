// The JSON Schema of the project file, made from the key tables that the project reader checks names against.
#include "builder/project_schema.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/flag_names.h"
#include "common/project_keys.h"
#include "common/setting_descriptions.h"
#include "common/setting_keys.h"

namespace palisade::tools {

namespace {

constexpr std::int64_t kU32Max = 0xFFFFFFFFll;

ReportValue Typed(const char* type, const std::string& description) {
    ReportValue schema = ReportValue::Object();
    if (!description.empty()) schema.Set("description", description);
    schema.Set("type", type);
    return schema;
}

ReportValue IntegerSchema(std::int64_t min, std::int64_t max) {
    ReportValue schema = ReportValue::Object();
    schema.Set("type", "integer");
    schema.Set("minimum", min);
    schema.Set("maximum", max);
    return schema;
}

ReportValue AnyOf(ReportValue schema, std::vector<ReportValue> choices) {
    ReportValue& list = schema.Set("anyOf", ReportValue::Array());
    for (ReportValue& choice : choices) list.Add(std::move(choice));
    return schema;
}

ReportValue Described(const std::string& description) {
    ReportValue schema = ReportValue::Object();
    schema.Set("description", description);
    return schema;
}

std::string FlagHelp(FlagWord word, const std::vector<std::string>& excluded) {
    std::string help = "\n\nNames:";
    for (const FlagName& flag : FlagNames(word)) {
        if (std::find(excluded.begin(), excluded.end(), flag.name) != excluded.end()) continue;
        char bit[16];
        std::snprintf(bit, sizeof bit, "0x%x", flag.bit);
        help += std::string("\n- ") + flag.name + " (" + bit + "): " + flag.meaning;
    }
    return help;
}

// A list of bit names, or an integer; "0x..." texts and integers stand for bits without a name.
ReportValue FlagSchema(FlagWord word, const std::vector<std::string>& excluded, const std::string& description,
                       const std::string& defaultJson) {
    ReportValue names = ReportValue::Object();
    ReportValue& list = names.Set("enum", ReportValue::Array());
    for (const FlagName& flag : FlagNames(word)) {
        if (std::find(excluded.begin(), excluded.end(), flag.name) == excluded.end()) list.Add(flag.name);
    }
    ReportValue hex = Typed("string", "");
    hex.Set("pattern", "^0[xX][0-9a-fA-F]{1,8}$");
    ReportValue items = AnyOf(ReportValue::Object(), {names, hex, IntegerSchema(0, kU32Max)});
    ReportValue array = Typed("array", "");
    array.Set("items", items);
    ReportValue schema = Described(description + FlagHelp(word, excluded));
    if (!defaultJson.empty()) schema.Set("default", DefaultLiteral(defaultJson));
    return AnyOf(std::move(schema), {array, IntegerSchema(0, kU32Max)});
}

ReportValue PlainDefault(const SettingKey& key) {
    SettingValue value = LoadValue(key, InstallerSettings{});
    if (auto* number = std::get_if<std::int64_t>(&value)) return *number;
    if (auto* real = std::get_if<double>(&value)) return *real;
    return std::get<std::string>(value);
}

ReportValue PlainKeySchema(const SettingKey& key, const std::string& description) {
    switch (key.kind) {
        case SettingValueKind::FlagWord:
            return FlagSchema(key.key == "SettingsFlags1" ? FlagWord::SettingsFlags1 : FlagWord::SettingsFlags2, {},
                              description, "[]");
        case SettingValueKind::Integer: {
            IntegerRange range = AcceptedRange(key);
            ReportValue schema = Typed("integer", description);
            schema.Set("minimum", range.min);
            schema.Set("maximum", range.max);
            schema.Set("default", PlainDefault(key));
            return schema;
        }
        case SettingValueKind::Double: {
            ReportValue schema = Typed("number", description);
            schema.Set("default", PlainDefault(key));
            return schema;
        }
        case SettingValueKind::FileContent:
            return Typed("string", description + " (the path of a file, relative to the project file)");
        case SettingValueKind::WideText:
        case SettingValueKind::NarrowText: {
            ReportValue schema = Described(description + "; a text, or { file = \"path\" } whose UTF-8 content is the text");
            schema.Set("default", PlainDefault(key));
            ReportValue reference = ReportValue::Object();
            reference.Set("$ref", "#/definitions/textFile");
            return AnyOf(std::move(schema), {Typed("string", ""), reference});
        }
    }
    return ReportValue::Object();
}

ReportValue TableSchema(const std::vector<ProjectKey>& members, const std::vector<std::string>& requireAnyOf,
                        const std::string& description);

ReportValue ProjectKeySchema(const ProjectKey& key) {
    ReportValue schema;
    switch (key.type) {
        case KeyType::Boolean: schema = Typed("boolean", key.description); break;
        case KeyType::Integer:
            schema = Typed("integer", key.description);
            schema.Set("minimum", key.min);
            schema.Set("maximum", key.max);
            break;
        case KeyType::Size: {
            ReportValue text = Typed("string", "");
            text.Set("pattern", "^[0-9]+ *([bB]|[kKmM]([iI]?[bB])?)?$");
            schema = AnyOf(Described(key.description), {IntegerSchema(key.min, key.max), text});
            break;
        }
        case KeyType::Text:
        case KeyType::FilePath:
        case KeyType::DateTime:
            schema = Typed("string", key.description);
            if (!key.pattern.empty()) schema.Set("pattern", key.pattern);
            break;
        case KeyType::FilePathList:
            schema = Typed("array", key.description);
            schema.Set("items", Typed("string", ""));
            if (key.maxItems) schema.Set("maxItems", key.maxItems);
            break;
        case KeyType::TextList: {
            ReportValue array = Typed("array", "");
            array.Set("items", Typed("string", ""));
            schema = AnyOf(Described(key.description), {Typed("string", ""), array});
            break;
        }
        case KeyType::FlagList: return FlagSchema(key.flagWord, key.excludedFlags, key.description, key.defaultJson);
        case KeyType::Choice:
        case KeyType::ChoiceList: {
            ReportValue names = ReportValue::Object();
            names.Set("enum", ReportValue::TextList(key.choices));
            if (key.type == KeyType::Choice) {
                schema = Described(key.description);
                schema.Set("enum", ReportValue::TextList(key.choices));
            } else {
                schema = Typed("array", key.description);
                schema.Set("items", names);
            }
            break;
        }
        case KeyType::Table: return TableSchema(key.members, key.requireAnyOf, key.description);
        case KeyType::TableList: {
            schema = Typed("array", key.description);
            schema.Set("items", TableSchema(key.members, key.requireAnyOf, ""));
            if (key.maxItems) schema.Set("maxItems", key.maxItems);
            return schema;
        }
    }
    if (!key.defaultJson.empty()) schema.Set("default", DefaultLiteral(key.defaultJson));
    return schema;
}

ReportValue TableSchema(const std::vector<ProjectKey>& members, const std::vector<std::string>& requireAnyOf,
                        const std::string& description) {
    ReportValue schema = Typed("object", description);
    ReportValue& properties = schema.Set("properties", ReportValue::Object());
    std::vector<std::string> required;
    for (const ProjectKey& member : members) {
        properties.Set(member.name, ProjectKeySchema(member));
        if (member.required) required.push_back(member.name);
    }
    if (!required.empty()) schema.Set("required", ReportValue::TextList(required));
    if (!requireAnyOf.empty()) {
        ReportValue& anyOf = schema.Set("anyOf", ReportValue::Array());
        for (const std::string& name : requireAnyOf) anyOf.Add(ReportValue::Object()).Set("required", ReportValue::TextList({name}));
    }
    schema.Set("additionalProperties", false);
    return schema;
}

void AddPlainSettings(ReportValue& properties) {
    for (const SettingKey& key : PlainSettingKeys()) {
        const char* description = SettingDescription(key.key);
        properties.Set(key.key, PlainKeySchema(key, description ? description : ""));
        for (const SettingAlias& alias : SettingAliases()) {
            if (key.key != alias.key) continue;
            std::string text = std::string(description ? description : "") + " (the same setting as " + key.key + ")";
            properties.Set(alias.alias, PlainKeySchema(key, text));
        }
    }
}

ReportValue TextFileDefinition() {
    ReportValue file = Typed("object", "A text read from a file (UTF-8), relative to the project file");
    ReportValue& properties = file.Set("properties", ReportValue::Object());
    properties.Set("file", Typed("string", "The file that holds the text"));
    file.Set("required", ReportValue::TextList({"file"}));
    file.Set("additionalProperties", false);
    return file;
}

// One literal of DefaultLiteral's small grammar, from `text[position]` on.
ReportValue ParseLiteral(const std::string& text, std::size_t& position) {
    if (text.compare(position, 4, "true") == 0) return position += 4, ReportValue(true);
    if (text.compare(position, 5, "false") == 0) return position += 5, ReportValue(false);
    if (text[position] == '"') {
        std::string value;
        for (++position; position < text.size() && text[position] != '"'; ++position) {
            if (text[position] == '\\' && position + 1 < text.size()) ++position;
            value += text[position];
        }
        ++position;
        return value;
    }
    if (text[position] == '[') {
        ReportValue list = ReportValue::Array();
        ++position;
        while (position < text.size() && text[position] != ']') {
            if (text[position] == ',' || text[position] == ' ') {
                ++position;
                continue;
            }
            list.Add(ParseLiteral(text, position));
        }
        ++position;
        return list;
    }
    char* end = nullptr;
    long long number = std::strtoll(text.c_str() + position, &end, 10);
    if (end == text.c_str() + position) return position = text.size(), ReportValue(text);
    position = std::size_t(end - text.c_str());
    return std::int64_t(number);
}

}  // namespace

ReportValue DefaultLiteral(const std::string& json) {
    std::size_t position = 0;
    ReportValue value = ParseLiteral(json, position);
    return position == json.size() ? value : ReportValue(json);
}

ReportValue ProjectSchema() {
    ReportValue schema = ReportValue::Object();
    schema.Set("$schema", "http://json-schema.org/draft-07/schema#");
    schema.Set("title", "Palisade project file");
    schema.Set("description",
               "A project file of the Palisade builder (palisade build PROJECT.toml). Generated by "
               "'palisade keys --json-schema'; every key is described in docs/builder.md.");
    schema.Set("type", "object");
    ReportValue& properties = schema.Set("properties", ReportValue::Object());
    AddPlainSettings(properties);
    for (const ProjectKey& key : StructuredSettingKeyTable()) properties.Set(key.name, ProjectKeySchema(key));
    for (const ProjectKey& key : ProjectTableKeys()) properties.Set(key.name, ProjectKeySchema(key));
    // The product name under either of its names.
    ReportValue& anyOf = schema.Set("anyOf", ReportValue::Array());
    for (const SettingAlias& alias : SettingAliases()) {
        if (std::string(alias.key) == "DisplayName") anyOf.Add(ReportValue::Object()).Set("required", ReportValue::TextList({alias.alias}));
    }
    anyOf.Add(ReportValue::Object()).Set("required", ReportValue::TextList({"DisplayName"}));
    schema.Set("additionalProperties", false);
    schema.Set("definitions", ReportValue::Object()).Set("textFile", TextFileDefinition());
    return schema;
}

std::string ProjectSchemaJson() { return RenderJson(ProjectSchema()); }

}  // namespace palisade::tools
