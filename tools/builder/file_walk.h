// Walks a source folder for the files a `[[files]]` entry takes, following links only within the project.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "builder/path_pattern.h"

namespace palisade::tools {

// What a walk takes: the regular files whose '/'-separated path relative to
// the walked folder matches `pattern`, less those an exclude matches (by
// relative path, or by file name for an exclude without '/').
struct WalkRules {
    PathPattern pattern{"**"};
    std::vector<PathPattern> pathExcludes;
    std::vector<std::string> nameExcludes;
};

struct WalkResult {
    std::vector<std::pair<std::string, std::filesystem::path>> files;  // relative path, path on disk
    std::string error;                                                 // empty on success
};

// Walks `root`. Folders that nothing taken could lie in are not entered. A
// link is followed when it leads inside the project folder or inside the
// walked folder; one that leads elsewhere, one that leads back to a folder
// holding it (a loop) and one that leads nowhere are errors that name it,
// when what it leads to would be taken. The walk also stops at folders more
// than 128 deep and after 100,000 folders (links may make a tree of a few
// folders look endless).
WalkResult WalkFiles(const std::filesystem::path& root, const std::filesystem::path& projectFolder,
                     const WalkRules& rules);

}  // namespace palisade::tools
