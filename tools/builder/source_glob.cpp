// Turns the `source` of a `[[files]]` entry (a file, a folder or a glob) into files on disk.
#include "builder/source_glob.h"

#include <algorithm>
#include <system_error>

namespace palisade::tools {

namespace fs = std::filesystem;

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool MatchComponent(std::string_view pattern, std::string_view name) {
    // Iterative matching with one back-track point: the last `*` seen.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

namespace {

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) slash = path.size();
        if (slash > start) parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

bool MatchParts(const std::vector<std::string_view>& pattern, std::size_t p,
                const std::vector<std::string_view>& path, std::size_t n) {
    if (p == pattern.size()) return n == path.size();
    if (pattern[p] == "**") {
        for (std::size_t skip = n; skip <= path.size(); ++skip) {
            if (MatchParts(pattern, p + 1, path, skip)) return true;
        }
        return false;
    }
    return n < path.size() && MatchComponent(pattern[p], path[n]) && MatchParts(pattern, p + 1, path, n + 1);
}

std::string Normalised(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool IsExcluded(const std::string& relativePath, std::string_view fileName, const std::vector<std::string>& excludes) {
    for (const std::string& raw : excludes) {
        std::string pattern = Normalised(raw);
        bool byName = pattern.find('/') == std::string::npos;
        if (byName ? MatchComponent(pattern, fileName) : MatchPath(pattern, relativePath)) return true;
    }
    return false;
}

// Every regular file below `root` (links followed), with its '/'-separated relative path.
std::vector<std::pair<std::string, fs::path>> WalkFiles(const fs::path& root, std::string& error) {
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code code;
    fs::recursive_directory_iterator it(root, fs::directory_options::follow_directory_symlink, code);
    for (; !code && it != fs::recursive_directory_iterator(); it.increment(code)) {
        std::error_code typeCode;
        if (!it->is_regular_file(typeCode)) continue;
        found.emplace_back(it->path().lexically_relative(root).generic_string(), it->path());
    }
    if (code) error = "cannot read folder '" + root.string() + "': " + code.message();
    return found;
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
    std::vector<std::string_view> parts = SplitPath(glob);
    std::string base = glob.size() > 0 && glob[0] == '/' ? "/" : "";
    std::string pattern;
    bool inPattern = false;
    for (std::string_view part : parts) {
        inPattern = inPattern || HasWildcard(part);
        std::string& target = inPattern ? pattern : base;
        if (!target.empty() && target.back() != '/') target += '/';
        target += part;
    }
    return {base, pattern};
}

}  // namespace

bool MatchPath(std::string_view pattern, std::string_view path) {
    return MatchParts(SplitPath(pattern), 0, SplitPath(path), 0);
}

SourceResolution ResolveSource(const fs::path& projectFolder, std::string_view source,
                               const std::vector<std::string>& excludes) {
    SourceResolution result;
    std::string text = Normalised(source);
    std::vector<std::pair<std::string, fs::path>> candidates;
    std::error_code code;
    if (HasWildcard(text)) {
        auto [base, pattern] = SplitGlob(text);
        fs::path root = projectFolder / base;
        if (!fs::is_directory(root, code)) {
            result.error = "folder '" + root.lexically_normal().string() + "' of source '" + std::string(source) +
                           "' does not exist";
            return result;
        }
        for (auto& [relative, path] : WalkFiles(root, result.error)) {
            if (MatchPath(pattern, relative)) candidates.emplace_back(relative, path);
        }
    } else {
        fs::path path = (projectFolder / text).lexically_normal();
        if (fs::is_directory(path, code)) {
            candidates = WalkFiles(path, result.error);
        } else if (fs::is_regular_file(path, code)) {
            candidates.emplace_back(path.filename().string(), path);
        } else {
            result.error = "source '" + std::string(source) + "' does not exist (looked for '" + path.string() + "')";
            return result;
        }
    }
    if (!result.error.empty()) return result;
    std::sort(candidates.begin(), candidates.end());
    for (auto& [relative, path] : candidates) {
        SourceFile file = MakeSourceFile(path, relative);
        if (!IsExcluded(relative, file.fileName, excludes)) result.files.push_back(std::move(file));
    }
    if (result.files.empty()) result.error = "source '" + std::string(source) + "' matches no file";
    return result;
}

}  // namespace palisade::tools
