// `palisade init`: writes a commented project file for a folder of files, one that builds as it stands.
#include "builder/init_command.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "builder/languages.h"
#include "builder/shipped_files.h"
#include "common/project_keys.h"
#include "common/setting_descriptions.h"
#include "common/setting_keys.h"

namespace palisade::tools {

namespace fs = std::filesystem;

namespace {

// Plain settings shown at their defaults, as comments, below the ones the scaffold sets.
const char* const kShownSettings[] = {"ProductDescription", "Bitness", "IntegrityMode", "ShortcutMode",
                                      "AutomaticOverride", "ArchiveInFile", "StatusDelay"};

std::string Padded(std::string line, const std::string& comment) {
    if (comment.empty()) return line + "\n";
    if (line.size() < 36) line.resize(36, ' ');
    return line + " # " + comment + "\n";
}

std::string PlainDefaultToml(const SettingKey& key) {
    SettingValue value = LoadValue(key, InstallerSettings{});
    if (auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (auto* real = std::get_if<double>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", *real);
        return text;
    }
    return TomlString(std::get<std::string>(value));
}

std::string SettingLine(const std::string& key, const std::string& value, bool commented) {
    const char* description = SettingDescription(key);
    return Padded((commented ? "# " : "") + key + " = " + value, description ? description : "");
}

// Every key of a table that has a default, commented out at it.
std::string DefaultLines(const std::vector<ProjectKey>& keys, const std::vector<std::string>& skip) {
    std::string text;
    for (const ProjectKey& key : keys) {
        if (key.defaultJson.empty() || std::find(skip.begin(), skip.end(), key.name) != skip.end()) continue;
        text += Padded("# " + key.name + " = " + key.defaultJson, key.description);
    }
    return text;
}

// A name fit for a file: characters that Windows or a shell treat specially become '-'.
std::string FileNameOf(const std::string& name) {
    std::string out;
    for (char c : name) out += std::string("/\\:*?\"<>| \t").find(c) == std::string::npos ? c : '-';
    return out.empty() ? "setup" : out;
}

bool HoldsFiles(const fs::path& folder) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error)) return true;
    }
    return false;
}

std::string Header(const std::string& name, const std::string& folderText, const std::vector<std::string>& leftOut) {
    std::string text = "# The project file of \"" + name + "\", written by `palisade init` for the files of " +
                       folderText + ".\n"
                       "# Build it with:  palisade build <this file>\n"
                       "# Every key, its type and default: `palisade keys` (and docs/builder.md). A line\n"
                       "# \"# Key = value\" shows a key at its default; remove the '#' to change it.\n";
    if (!leftOut.empty()) {
        text += "# Left out (names starting with '.'):";
        for (const std::string& entry : leftOut) text += " " + entry;
        text += "\n";
    }
    return text + "\n";
}

std::string Settings(const std::string& name) {
    std::string text = SettingLine("ProductName", TomlString(name), false);
    text += SettingLine("ProductVersion", "\"1.0.0\"", false);
    text += SettingLine("Publisher", "\"\"", false);
    text += SettingLine("DefaultInstallPath", TomlString(name), false);
    text += SettingLine("UninstallSubdir", "\"uninstall\"", false);
    text += Padded("SettingsFlags1 = [\"Uninstaller\", \"FolderPage\"]", "names: `palisade keys`");
    text += Padded("SettingsFlags2 = [\"ProgressPage\"]", "");
    for (const char* key : kShownSettings) {
        if (const SettingKey* setting = FindSettingKey(key)) text += SettingLine(key, PlainDefaultToml(*setting), true);
    }
    return text;
}

std::string Languages(const std::vector<std::string>& languages) {
    std::string codes;
    for (const std::string& code : languages) codes += " " + code;
    return "\n# Translations shipped with the builder:" + (codes.empty() ? std::string(" (none found)") : codes) +
           "\n# [[languages]]\n# name = \"" + (languages.empty() ? std::string("de") : languages.front()) + "\"\n";
}

}  // namespace

std::string TomlString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

ScaffoldResult ScaffoldProject(const fs::path& folder, const fs::path& projectFile,
                               const std::vector<std::string>& languages) {
    ScaffoldResult result;
    std::error_code error;
    fs::path absoluteFolder = fs::weakly_canonical(fs::absolute(folder), error);
    fs::path projectFolder = fs::weakly_canonical(fs::absolute(projectFile), error).parent_path();
    if (!fs::is_directory(absoluteFolder, error)) {
        result.error = "'" + folder.string() + "' is not a folder";
        return result;
    }
    std::string name = absoluteFolder.filename().string();
    if (name.empty()) name = "Product";
    std::string output = FileNameOf(name) + "-setup.exe";

    std::vector<fs::directory_entry> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(absoluteFolder, error)) entries.push_back(entry);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
    std::string files;
    for (const fs::directory_entry& entry : entries) {
        std::string entryName = entry.path().filename().string();
        // The entry's own path, not its target: a link in the folder stays a link in the project.
        fs::path path = absoluteFolder / entryName;
        if (path == projectFolder / projectFile.filename() || path == projectFolder / output) continue;
        if (entryName[0] == '.') {
            result.leftOut.push_back(entryName);
            continue;
        }
        bool isFolder = entry.is_directory(error);
        if (isFolder ? !HoldsFiles(entry.path()) : !entry.is_regular_file(error)) continue;
        files += "\n[[files]]\nsource = " + TomlString(path.lexically_relative(projectFolder).generic_string()) + "\n";
        if (isFolder) files += Padded("destination = " + TomlString(entryName), "the folder keeps its name");
        if (result.entryCount++ == 0) files += DefaultLines(MembersOf("files"), {"destination"});
    }
    if (result.entryCount == 0) {
        result.error = "'" + folder.string() + "' holds no files to install";
        return result;
    }
    result.text = Header(name, absoluteFolder.lexically_relative(projectFolder).generic_string() + "/", result.leftOut) +
                  Settings(name) + "\n[build]\n" + Padded("output = " + TomlString(output), "relative to this file") +
                  DefaultLines(MembersOf("build"), {"output"}) + Languages(languages) + files;
    return result;
}

int RunInitCommand(const std::vector<std::string>& arguments) {
    std::string folder = ".", project = "palisade.toml";
    bool force = false, folderGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--force") {
            force = true;
        } else if ((argument == "-o" || argument == "--output") && i + 1 < arguments.size()) {
            project = arguments[++i];
        } else if (!argument.empty() && argument[0] != '-' && !folderGiven) {
            folder = argument;
            folderGiven = true;
        } else {
            std::fprintf(stderr, "Usage: palisade init [FOLDER] [-o PROJECT.toml] [--force]\n");
            return 2;
        }
    }
    std::error_code error;
    if (fs::exists(project, error) && !force) {
        std::fprintf(stderr, "palisade init: %s exists already (--force replaces it)\n", project.c_str());
        return 1;
    }
    std::vector<std::string> codes;
    for (const ShippedLanguage& language : ListShippedLanguages(FindShippedFiles().languages.string())) {
        codes.push_back(language.code);
    }
    ScaffoldResult result = ScaffoldProject(folder, project, codes);
    if (!result.error.empty()) {
        std::fprintf(stderr, "palisade init: %s\n", result.error.c_str());
        return 1;
    }
    std::ofstream out(project, std::ios::binary | std::ios::trunc);
    if (!(out << result.text) || !out.flush()) {
        std::fprintf(stderr, "palisade init: cannot write %s\n", project.c_str());
        return 1;
    }
    std::printf("wrote %s: %zu [[files]] entries; build it with: palisade build %s\n", project.c_str(),
                result.entryCount, project.c_str());
    return 0;
}

}  // namespace palisade::tools
