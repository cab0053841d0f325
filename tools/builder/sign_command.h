// The author's signing command: run on a file the builder wrote, with
// `{file}` standing for its path, like the finalize hooks of other builders.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/diagnostics.h"
#include "common/progress.h"

namespace palisade::tools {

struct SignCommand {
    std::string command;            // empty: no signing
    std::filesystem::path folder;   // where it runs: the project's folder for [build] sign, else the current one
    SourcePlace place;              // named in errors
};

// `command` with every `{file}` replaced by `path` quoted for the shell.
std::string ExpandSignCommand(const std::string& command, const std::string& path);

// Writes `image` as `name` into a private temporary folder, runs the command
// on it (through /bin/sh, its output shown on stderr) and reads the file back.
// The result must carry a signature. Nothing, with an error, otherwise.
std::optional<std::vector<std::uint8_t>> SignImage(const std::vector<std::uint8_t>& image, const std::string& name,
                                                   const SignCommand& sign, Progress& progress,
                                                   Diagnostics& diagnostics);

}  // namespace palisade::tools
