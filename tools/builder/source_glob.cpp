// Turns the `source` of a `[[files]]` entry (a file, a folder or a glob) into files on disk.
#include "builder/source_glob.h"

#include <algorithm>
#include <system_error>

#include "builder/file_walk.h"

namespace palisade::tools {

namespace fs = std::filesystem;

namespace {

std::string Normalised(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

// The entry's excludes: those with a '/' match relative paths, the others file names.
WalkRules MakeRules(const std::string& pattern, const std::vector<std::string>& excludes) {
    WalkRules rules{PathPattern(pattern), {}, {}};
    for (const std::string& raw : excludes) {
        std::string exclude = Normalised(raw);
        if (exclude.find('/') == std::string::npos) {
            rules.nameExcludes.push_back(exclude);
        } else {
            rules.pathExcludes.emplace_back(exclude);
        }
    }
    return rules;
}

SourceFile MakeSourceFile(const fs::path& path, const std::string& relativePath) {
    std::size_t slash = relativePath.rfind('/');
    SourceFile file;
    file.path = path;
    file.relativeFolder = slash == std::string::npos ? "" : relativePath.substr(0, slash);
    file.fileName = slash == std::string::npos ? relativePath : relativePath.substr(slash + 1);
    return file;
}

// Splits a glob into its wildcard-free leading folders and the pattern after them.
std::pair<std::string, std::string> SplitGlob(const std::string& glob) {
    std::string base = !glob.empty() && glob[0] == '/' ? "/" : "";
    std::string pattern;
    bool inPattern = false;
    std::size_t start = 0;
    while (start <= glob.size()) {
        std::size_t slash = std::min(glob.find('/', start), glob.size());
        std::string part = glob.substr(start, slash - start);
        start = slash + 1;
        if (part.empty()) continue;
        inPattern = inPattern || HasWildcard(part);
        std::string& target = inPattern ? pattern : base;
        if (!target.empty() && target.back() != '/') target += '/';
        target += part;
    }
    return {base, pattern};
}

// A single named file: taken unless an exclude matches its name.
bool IsExcludedFile(const std::string& name, const WalkRules& rules) {
    for (const PathPattern& exclude : rules.pathExcludes) {
        if (exclude.Matches(exclude.Step(exclude.Start(), name))) return true;
    }
    return std::any_of(rules.nameExcludes.begin(), rules.nameExcludes.end(),
                       [&](const std::string& exclude) { return MatchComponent(exclude, name); });
}

}  // namespace

SourceResolution ResolveSource(const fs::path& projectFolder, std::string_view source,
                               const std::vector<std::string>& excludes) {
    SourceResolution result;
    std::string text = Normalised(source);
    WalkResult walk;
    std::error_code code;
    if (HasWildcard(text)) {
        auto [base, pattern] = SplitGlob(text);
        fs::path root = projectFolder / base;
        if (!fs::is_directory(root, code)) {
            result.error = "folder '" + root.lexically_normal().string() + "' of source '" + std::string(source) +
                           "' does not exist";
            return result;
        }
        walk = WalkFiles(root, projectFolder, MakeRules(pattern, excludes));
    } else {
        fs::path path = (projectFolder / text).lexically_normal();
        if (fs::is_directory(path, code)) {
            walk = WalkFiles(path, projectFolder, MakeRules("**", excludes));
        } else if (fs::is_regular_file(path, code)) {
            std::string name = path.filename().string();
            if (!IsExcludedFile(name, MakeRules("**", excludes))) walk.files.emplace_back(name, path);
        } else {
            result.error = "source '" + std::string(source) + "' does not exist (looked for '" + path.string() + "')";
            return result;
        }
    }
    result.error = walk.error;
    if (!result.error.empty()) return result;
    std::sort(walk.files.begin(), walk.files.end());
    for (auto& [relative, path] : walk.files) result.files.push_back(MakeSourceFile(path, relative));
    if (result.files.empty()) result.error = "source '" + std::string(source) + "' matches no file";
    return result;
}

}  // namespace palisade::tools
