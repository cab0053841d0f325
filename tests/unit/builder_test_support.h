// Shared helpers of the builder tests: a temporary project folder and small file writers.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/project.h"
#include "common/diagnostics.h"

namespace palisade::tools::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "palisade-builder-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& relative) const { return m_path / relative; }

    // Writes `content` to `relative`, creating its folders.
    std::filesystem::path Write(const std::string& relative, const std::string& content) const {
        std::filesystem::path path = m_path / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

private:
    std::filesystem::path m_path;
};

// Reads a project written to `folder`/palisade.toml; the diagnostics are kept for the test.
inline std::optional<Project> ReadProjectText(const TempFolder& folder, const std::string& text,
                                              Diagnostics& diagnostics) {
    std::filesystem::path path = folder.Write("palisade.toml", text);
    return ReadProject(path.string(), diagnostics);
}

// "line:column: message" of every diagnostic, for readable failure output.
inline std::vector<std::string> Messages(const Diagnostics& diagnostics) {
    std::vector<std::string> list;
    for (const Diagnostic& d : diagnostics.List()) {
        list.push_back(std::to_string(d.place.line) + ":" + std::to_string(d.place.column) + ": " + d.message);
    }
    return list;
}

}  // namespace palisade::tools::testing
