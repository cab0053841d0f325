// Reads a project file: checks its top-level keys and hands each part to its reader.
#include "builder/project_sections.h"

#include <fstream>
#include <iterator>

namespace palisade::tools {

namespace {

std::vector<std::string> TopLevelKeys() {
    std::vector<std::string> keys = PlainSettingTopKeys();
    for (const std::string& key : StructuredSettingKeys()) keys.push_back(key);
    for (const char* key : {"build", "files", "languages"}) keys.push_back(key);
    return keys;
}

void ReadLanguageList(TomlReader& reader, const toml::table& root, Project& project) {
    for (const toml::table* entry : reader.TableList(root, "languages")) {
        reader.CheckKnownKeys(*entry, {"file", "name"}, "[[languages]]");
        std::optional<std::string> file = reader.String(*entry, "file");
        if (!file) {
            if (!entry->get("file")) reader.Error(*entry, "a [[languages]] entry needs 'file = \"...\"'");
            continue;
        }
        std::string path = (project.folder / *file).lexically_normal().string();
        if (!std::filesystem::is_regular_file(path)) {
            reader.Error(*entry->get("file"), "cannot read language file '" + path + "'");
            continue;
        }
        std::optional<LanguageSource> language = ReadLanguageFile(path, reader.Report());
        if (!language) continue;
        if (std::optional<std::string> name = reader.String(*entry, "name")) language->name = *name;
        project.languages.push_back(std::move(*language));
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
    reader.CheckKnownKeys(*root, TopLevelKeys(), "the project file");
    ReadPlainSettings(reader, *root, project);
    ReadStructuredSettings(reader, *root, project);
    ReadSettingLists(reader, *root, project.settings);
    if (const toml::table* build = reader.Table(*root, "build")) ReadBuildOptions(reader, *build, project.build);
    ReadFileSpecs(reader, *root, project);
    ReadLanguageList(reader, *root, project);
    if (diagnostics.List().size() != errorsBefore) {
        diagnostics.SortByPlace();
        return std::nullopt;
    }
    return project;
}

std::optional<std::vector<std::uint8_t>> ReadProjectFile(TomlReader& reader, const Project& project,
                                                         const toml::node& node, const std::string& path) {
    std::filesystem::path full = (project.folder / path).lexically_normal();
    std::ifstream in(full, std::ios::binary);
    if (!in) {
        reader.Error(node, "cannot read file '" + full.string() + "'");
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace palisade::tools
