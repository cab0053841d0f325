// `palisade init`: writes a commented project file for a folder of files, one that builds as it stands.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace palisade::tools {

struct ScaffoldResult {
    std::string text;                  // the project file
    std::size_t entryCount = 0;        // [[files]] entries written
    std::vector<std::string> leftOut;  // names starting with '.' (.git, .gitignore, ...)
    std::string error;                 // not empty when there is nothing to write
};

// A project file at `projectFile` for every file below `folder`: the product
// named after the folder, one [[files]] entry per file or sub-folder at the
// folder's top level (sources relative to the project file), the output
// beside the project file, and the usual keys at their defaults as comments.
// Names starting with '.' are left out, and so are the project file itself
// and its output. `languages` lists the shipped translations' codes.
ScaffoldResult ScaffoldProject(const std::filesystem::path& folder, const std::filesystem::path& projectFile,
                               const std::vector<std::string>& languages);

// A TOML basic string: "..." with quotes, backslashes and control characters escaped.
std::string TomlString(const std::string& text);

// Runs `palisade init [FOLDER] [-o PROJECT.toml] [--force]`; returns the exit code.
int RunInitCommand(const std::vector<std::string>& arguments);

}  // namespace palisade::tools
