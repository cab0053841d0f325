// Turns the `source` of a `[[files]]` entry (a file, a folder or a glob) into files on disk.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "builder/path_pattern.h"

namespace palisade::tools {

// One file found for an entry: where it is, and where it goes relative to the
// entry's destination folder.
struct SourceFile {
    std::filesystem::path path;
    std::string relativeFolder;  // '/'-separated, empty for the destination folder itself
    std::string fileName;
};

struct SourceResolution {
    std::vector<SourceFile> files;  // sorted by relative path, so builds are reproducible
    std::string error;              // empty on success
};

// Resolves `source` relative to `projectFolder`:
// - a file gives itself, placed in the destination folder;
// - a folder gives every file below it, sub-folders kept;
// - a glob gives the files that match it, placed by their path below the
//   glob's last wildcard-free folder (`bin/**/*.dll` keeps the folders below bin).
// Files whose relative path (or, for a pattern without '/', whose name) matches
// one of `excludes` are left out. Finding no file at all is an error. A source
// named directly (a file, a folder, or the folder a glob starts from) is taken
// wherever it leads; links met below it are followed as WalkFiles says.
SourceResolution ResolveSource(const std::filesystem::path& projectFolder, std::string_view source,
                               const std::vector<std::string>& excludes);

}  // namespace palisade::tools
