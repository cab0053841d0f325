// `palisade keys`: lists every settings key of the project file with its type and default.
#include "builder/keys_command.h"

#include <cstdio>

#include "common/flag_names.h"
#include "common/setting_keys.h"

namespace palisade::tools {

namespace {

std::string TypeText(const SettingKey& key) {
    switch (key.kind) {
        case SettingValueKind::Integer: return "integer " + std::to_string(key.min) + ".." + std::to_string(key.max);
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

}  // namespace

int RunKeysCommand(const std::vector<std::string>& arguments) {
    bool markdown = !arguments.empty() && arguments[0] == "--markdown";
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
            std::printf("%-40s %-22s %s\n", name.c_str(), TypeText(key).c_str(), DefaultText(key).c_str());
        }
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
