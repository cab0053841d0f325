// Reads a project file: checks its top-level keys and hands each part to its reader.
#include "builder/key_style.h"
#include "builder/project_sections.h"
#include "builder/shipped_files.h"
#include "builder/time_stamps.h"
#include "common/file_reading.h"
#include "common/project_keys.h"

namespace palisade::tools {

namespace {

std::vector<std::string> TopLevelKeys() {
    std::vector<std::string> keys = PlainSettingTopKeys();
    for (const std::string& key : StructuredSettingKeys()) keys.push_back(key);
    for (const std::string& key : KeyNames(ProjectTableKeys())) keys.push_back(key);
    return keys;
}

// A `[[languages]]` entry without a file: a translation shipped with the builder.
std::optional<LanguageSource> ReadShippedEntry(TomlReader& reader, const toml::table& entry, const std::string& name,
                                              Project& project) {
    std::vector<ShippedLanguage> shipped = ListShippedLanguages(FindShippedFiles().languages.string());
    if (const ShippedLanguage* language = FindShippedLanguage(shipped, name)) {
        project.inputs.push_back(language->file);
        return ReadLanguageFile(language->file, reader.Report());
    }
    std::vector<std::string> candidates;
    std::string list;
    for (const ShippedLanguage& language : shipped) {
        candidates.push_back(language.code);
        list += " " + language.code + " (" + language.name + ")";
    }
    std::string suggestion = SuggestKey(name, candidates);
    reader.Error(*entry.get("name"), "no translation '" + name + "' ships with the builder" +
                                         (suggestion.empty() ? "" : " (did you mean '" + suggestion + "'?)") +
                                         "; give 'file' for a language file of your own, or one of:" +
                                         (list.empty() ? " (none found in " + FindShippedFiles().languages.string() + ")"
                                                       : list));
    return std::nullopt;
}

std::optional<LanguageSource> ReadLanguageEntry(TomlReader& reader, const toml::table& entry, Project& project) {
    std::optional<std::string> file = reader.String(entry, "file");
    std::optional<std::string> name = reader.String(entry, "name");
    if (!file) {
        if (name) return ReadShippedEntry(reader, entry, *name, project);
        if (!entry.get("file") && !entry.get("name")) {
            reader.Error(entry, "a [[languages]] entry needs 'name = \"fr\"' (a shipped translation) or "
                                "'file = \"...\"' (a language file)");
        }
        return std::nullopt;
    }
    std::string path = (project.folder / *file).lexically_normal().string();
    if (std::string why = WhyUnreadable(path); !why.empty()) {
        reader.Error(*entry.get("file"), "cannot read language file '" + path + "': " + why);
        return std::nullopt;
    }
    project.inputs.push_back(path);
    std::optional<LanguageSource> language = ReadLanguageFile(path, reader.Report());
    if (language && name) language->name = *name;
    return language;
}

void ReadLanguageList(TomlReader& reader, const toml::table& root, Project& project) {
    for (const toml::table* entry : reader.TableList(root, "languages")) {
        reader.CheckKnownKeys(*entry, KeyNames(MembersOf("languages")), "[[languages]]");
        if (std::optional<LanguageSource> language = ReadLanguageEntry(reader, *entry, project)) {
            project.languages.push_back(std::move(*language));
        }
    }
    if (project.languages.size() + 1 > kMaxCatalogueLanguages) {
        reader.Error(*root.get("languages"), "an installer holds at most " +
                                                 std::to_string(kMaxCatalogueLanguages) + " languages");
    }
}

}  // namespace

std::optional<Project> ReadProject(const std::string& path, Diagnostics& diagnostics) {
    std::size_t errorsBefore = diagnostics.List().size();
    std::optional<toml::table> root = ParseTomlFile(path, diagnostics);
    if (!root) return std::nullopt;
    TomlReader reader(path, diagnostics);
    Project project;
    project.file = path;
    project.folder = std::filesystem::path(path).parent_path();
    SourceDateEpoch epoch = SourceDateEpochFromEnvironment();
    if (!epoch.error.empty()) diagnostics.Error({"SOURCE_DATE_EPOCH"}, epoch.error);
    project.sourceDateEpoch = epoch.seconds;
    AcceptBothKeyStyles(reader, *root);
    reader.CheckKnownKeys(*root, TopLevelKeys(), "the project file");
    ReadPlainSettings(reader, *root, project);
    ReadStructuredSettings(reader, *root, project);
    ReadSettingLists(reader, *root, project.settings);
    if (const toml::table* build = reader.Table(*root, "build")) ReadBuildOptions(reader, *build, project.build);
    project.build.sign.folder = project.folder;  // a signing command of the project runs beside it
    if (const toml::table* crash = reader.Table(*root, "crash_report")) ReadCrashReport(reader, *crash, project.crashReport);
    ReadFileSpecs(reader, *root, project);
    ReadLanguageList(reader, *root, project);
    if (diagnostics.List().size() != errorsBefore) {
        diagnostics.SortByPlace();
        return std::nullopt;
    }
    return project;
}

std::optional<std::vector<std::uint8_t>> ReadProjectFile(TomlReader& reader, Project& project,
                                                         const toml::node& node, const std::string& path) {
    std::filesystem::path full = (project.folder / path).lexically_normal();
    FileBytes file = ReadFileBytes(full, kMaxSettingsFileSize, "a setting holds at most 64 MiB");
    if (!file.Ok()) {
        reader.Error(node, file.error);
        return std::nullopt;
    }
    project.inputs.push_back(full);
    return std::move(file.bytes);
}

}  // namespace palisade::tools
