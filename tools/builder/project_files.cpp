// The `[[files]]` entries of a project file: source, destination, kind, flags, attributes, time stamp.
#include <algorithm>
#include <cstdio>

#include "builder/project_sections.h"
#include "builder/time_stamps.h"
#include "common/entry_names.h"
#include "common/project_keys.h"

namespace palisade::tools {

namespace {

template <typename T>
std::optional<T> ReadNamed(TomlReader& reader, const toml::table& entry, const char* key,
                           const std::vector<Named<T>>& names) {
    std::optional<std::string> text = reader.String(entry, key);
    if (!text) return std::nullopt;
    std::vector<std::string> valid;
    for (const Named<T>& named : names) {
        if (*text == named.name) return named.value;
        valid.push_back(named.name);
    }
    std::string message = "unknown " + std::string(key) + " '" + *text + "'";
    std::string suggestion = SuggestKey(*text, valid);
    message += suggestion.empty() ? "; one of:" : " (did you mean '" + suggestion + "'?); one of:";
    for (const std::string& name : valid) message += " " + name;
    reader.Error(*entry.get(key), message);
    return std::nullopt;
}

void ReadAttributes(TomlReader& reader, const toml::table& entry, FileSpec& fileSpec) {
    const toml::node* node = entry.get("attributes");
    if (!node) return;
    std::optional<std::vector<std::string>> names = reader.StringList(entry, "attributes");
    if (!names) return;
    fileSpec.attributes = 0;
    for (const std::string& name : *names) {
        const auto& names = AttributeNames();
        auto found = std::find_if(names.begin(), names.end(), [&](const Named<std::int32_t>& a) { return name == a.name; });
        if (found == names.end()) {
            reader.Error(*node, "unknown attribute '" + name +
                                    "'; one of: read-only hidden system archive temporary offline");
        } else {
            fileSpec.attributes |= found->value;
        }
    }
}

// A TOML date, date-time or string turned into the text form ParseTimeStamp reads.
std::optional<std::string> TimeText(const toml::node& node) {
    if (auto* text = node.as_string()) return text->get();
    char buffer[64];
    if (auto* date = node.as_date()) {
        const toml::date& d = date->get();
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
        return std::string(buffer);
    }
    if (auto* stamp = node.as_date_time()) {
        const toml::date_time& dt = stamp->get();
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", dt.date.year, dt.date.month, dt.date.day,
                      dt.time.hour, dt.time.minute, dt.time.second);
        std::string text = buffer;
        if (dt.offset) {
            int minutes = dt.offset->minutes;
            std::snprintf(buffer, sizeof buffer, "%c%02d:%02d", minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                          std::abs(minutes) % 60);
            text += buffer;
        }
        return text;
    }
    return std::nullopt;
}

void ReadTimeStamp(TomlReader& reader, const toml::table& entry, FileSpec& fileSpec) {
    const toml::node* node = entry.get("time");
    if (!node) return;
    std::optional<std::string> text = TimeText(*node);
    if (text && *text == "source") return;
    if (text) fileSpec.timeStamp = ParseTimeStamp(*text);
    if (!fileSpec.timeStamp) {
        reader.Error(*node, "'time' must be \"source\", \"none\", a date or a date-time, e.g. 2024-05-01T12:00:00Z");
    }
}

std::string Backslashed(std::string text) {
    std::replace(text.begin(), text.end(), '/', '\\');
    while (!text.empty() && text.back() == '\\') text.pop_back();
    return text;
}

void ReadFlags(TomlReader& reader, const toml::table& entry, FileSpec& fileSpec) {
    if (auto shortcut = ReadNamed(reader, entry, "shortcut", ShortcutNames())) fileSpec.flags |= *shortcut;
    if (auto mode = ReadNamed(reader, entry, "overwrite", OverwriteNames())) fileSpec.flags |= std::uint32_t(*mode);
    if (reader.Bool(entry, "permanent").value_or(false)) fileSpec.flags |= EntryFlags::kPermanent;
    if (reader.Bool(entry, "to_uninstall_folder").value_or(false)) fileSpec.flags |= EntryFlags::kToUninstallFolder;
    fileSpec.unusualDestination = reader.Bool(entry, "unusual_destination").value_or(false);
    if (reader.Bool(entry, "record_msi").value_or(false)) {
        if (fileSpec.kind != EntryKind::MsiPackage) reader.Error(*entry.get("record_msi"), "'record_msi' needs kind = \"msi\"");
        fileSpec.flags |= EntryFlags::kRecordMsiPackage;
    }
}

// 'version', 'face' and 'description' name the kind's use of the one item
// field that 'info' names for every kind.
void ReadInfo(TomlReader& reader, const toml::table& entry, FileSpec& fileSpec) {
    const char* given = nullptr;
    for (const char* key : {"info", "version", "face", "description"}) {
        std::optional<std::string> text = reader.String(entry, key);
        if (!text) continue;
        if (given) {
            reader.Error(*entry.get(key), std::string("'") + given + "' and '" + key + "' share one field; give one");
            continue;
        }
        given = key;
        fileSpec.info = *text;
    }
    if (fileSpec.kind == EntryKind::Font && fileSpec.info.empty()) {
        reader.Error(entry, "a font entry needs 'face': the name Windows lists the font under, "
                            "e.g. face = \"Acme Sans (TrueType)\"");
    }
}

void ReadTexts(TomlReader& reader, const toml::table& entry, FileSpec& fileSpec) {
    ReadInfo(reader, entry, fileSpec);
    if (auto name = reader.String(entry, "shortcut_name")) fileSpec.shortcutName = *name;
    if (auto arguments = reader.String(entry, "arguments")) fileSpec.arguments = *arguments;
    std::optional<std::string> startIn = reader.String(entry, "start_in");
    std::optional<std::string> clsid = reader.String(entry, "clsid");
    if (startIn && clsid) reader.Error(*entry.get("clsid"), "'start_in' and 'clsid' share one field; give one");
    fileSpec.extra = startIn ? *startIn : clsid.value_or("");
    if (auto level = reader.Integer(entry, "msi_ui_level", 0, 5)) {
        if (fileSpec.kind != EntryKind::MsiPackage) reader.Error(*entry.get("msi_ui_level"), "'msi_ui_level' needs kind = \"msi\"");
        fileSpec.msiUiLevel = std::int32_t(*level);
    }
    if (fileSpec.kind == EntryKind::ControlPanelApplet && fileSpec.extra.empty()) {
        reader.Error(entry, "a control-panel entry needs 'clsid'");
    }
}

FileSpec ReadFileSpec(TomlReader& reader, const toml::table& entry) {
    reader.CheckKnownKeys(entry, KeyNames(MembersOf("files")), "[[files]]");
    FileSpec fileSpec;
    fileSpec.place = reader.PlaceOf(entry);
    if (auto source = reader.String(entry, "source")) fileSpec.source = *source;
    if (!entry.get("source")) reader.Error(entry, "a [[files]] entry needs 'source'");
    if (auto exclude = reader.StringList(entry, "exclude")) fileSpec.exclude = *exclude;
    if (auto destination = reader.String(entry, "destination")) fileSpec.destination = Backslashed(*destination);
    if (auto name = reader.String(entry, "name")) {
        if (name->empty() || name->find_first_of("\\/") != std::string::npos) {
            reader.Error(*entry.get("name"), "'name' must be a file name without folders");
        }
        fileSpec.name = *name;
    }
    if (auto kind = ReadNamed(reader, entry, "kind", KindNames())) fileSpec.kind = *kind;
    ReadFlags(reader, entry, fileSpec);
    ReadAttributes(reader, entry, fileSpec);
    ReadTimeStamp(reader, entry, fileSpec);
    ReadTexts(reader, entry, fileSpec);
    return fileSpec;
}

}  // namespace

// Finds the entry's files now, so that a missing source is reported with the other mistakes.
void ResolveSources(TomlReader& reader, const toml::table& entry, const Project& project, FileSpec& fileSpec) {
    if (fileSpec.source.empty()) return;
    SourceResolution resolved = ResolveSource(project.folder, fileSpec.source, fileSpec.exclude);
    if (!resolved.error.empty()) {
        reader.Error(*entry.get("source"), resolved.error);
    } else if (!fileSpec.name.empty() && resolved.files.size() != 1) {
        reader.Error(*entry.get("name"), "'name' renames one file, but source '" + fileSpec.source + "' gives " +
                                             std::to_string(resolved.files.size()));
    } else {
        fileSpec.sources = std::move(resolved.files);
    }
}

void ReadFileSpecs(TomlReader& reader, const toml::table& root, Project& project) {
    for (const toml::table* entry : reader.TableList(root, "files")) {
        FileSpec fileSpec = ReadFileSpec(reader, *entry);
        ResolveSources(reader, *entry, project, fileSpec);
        project.files.push_back(std::move(fileSpec));
    }
}

}  // namespace palisade::tools
