// Walks a source folder for the files a `[[files]]` entry takes, following links only within the project.
#include "builder/file_walk.h"

#include <algorithm>
#include <system_error>

namespace palisade::tools {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxDepth = 128;
constexpr std::size_t kMaxFolders = 100000;

bool IsWithin(const fs::path& path, const fs::path& folder) {
    auto [end, ignored] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

// The state of the entry's pattern and of every path exclude for one folder.
struct FolderStates {
    PathPattern::State pattern;
    std::vector<PathPattern::State> excludes;
};

class FileWalk {
public:
    FileWalk(const fs::path& root, const fs::path& projectFolder, const WalkRules& rules)
        : m_root(root), m_rules(rules) {
        for (const fs::path& folder : {projectFolder, root}) {
            std::error_code code;
            fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : folder, code);
            fs::path canonical = code ? fs::path() : fs::weakly_canonical(absolute, code);
            if (!code && !canonical.empty()) m_allowed.push_back(canonical);
        }
    }

    WalkResult Run() {
        FolderStates start{m_rules.pattern.Start(), {}};
        for (const PathPattern& exclude : m_rules.pathExcludes) start.excludes.push_back(exclude.Start());
        std::error_code code;
        std::vector<fs::path> ancestors{fs::canonical(m_root, code)};
        Walk(m_root, "", start, ancestors);
        return std::move(m_result);
    }

private:
    void Walk(const fs::path& folder, const std::string& prefix, const FolderStates& states,
              std::vector<fs::path>& ancestors) {
        if (++m_folders > kMaxFolders) {
            return Fail("more than " + std::to_string(kMaxFolders) + " folders below '" + m_root.string() +
                        "' (links that lead to the same folders again and again?)");
        }
        std::error_code code;
        std::vector<fs::directory_entry> entries;
        for (fs::directory_iterator it(folder, code); !code && it != fs::directory_iterator(); it.increment(code)) {
            entries.push_back(*it);
        }
        if (code) return Fail("cannot read folder '" + folder.string() + "': " + code.message());
        for (const fs::directory_entry& entry : entries) {
            if (!m_result.error.empty()) return;
            std::string name = entry.path().filename().string();
            FolderStates next = Step(states, name);
            std::string relative = prefix + name;
            std::error_code typeCode;
            if (entry.is_directory(typeCode)) {
                EnterFolder(entry.path(), relative, next, ancestors);
            } else if (Taken(next, name)) {
                TakeFile(entry, relative);
            }
        }
    }

    void EnterFolder(const fs::path& path, const std::string& relative, const FolderStates& states,
                     std::vector<fs::path>& ancestors) {
        if (!m_rules.pattern.ReachesBelow(states.pattern) || AllExcluded(states)) return;
        std::error_code code;
        fs::path target = fs::canonical(path, code);
        if (code) return Fail("cannot follow '" + relative + "': " + code.message());
        if (!LeadsInside(target)) return FailOutside(relative, target);
        if (std::find(ancestors.begin(), ancestors.end(), target) != ancestors.end()) {
            return Fail("'" + relative + "' leads back to a folder that holds it (a loop made by a link)");
        }
        if (ancestors.size() > kMaxDepth) {
            return Fail("'" + relative + "' lies more than " + std::to_string(kMaxDepth) + " folders deep");
        }
        ancestors.push_back(target);
        Walk(path, relative + "/", states, ancestors);
        ancestors.pop_back();
    }

    void TakeFile(const fs::directory_entry& entry, const std::string& relative) {
        std::error_code code;
        if (entry.is_symlink(code)) {
            fs::path target = fs::canonical(entry.path(), code);
            if (code) return Fail("'" + relative + "' is a link that leads nowhere (" + code.message() + ")");
            if (!LeadsInside(target)) return FailOutside(relative, target);
        }
        if (entry.is_regular_file(code)) m_result.files.emplace_back(relative, entry.path());
    }

    FolderStates Step(const FolderStates& states, const std::string& name) const {
        FolderStates next{m_rules.pattern.Step(states.pattern, name), {}};
        for (std::size_t i = 0; i < m_rules.pathExcludes.size(); ++i) {
            next.excludes.push_back(m_rules.pathExcludes[i].Step(states.excludes[i], name));
        }
        return next;
    }

    bool Taken(const FolderStates& states, const std::string& name) const {
        if (!m_rules.pattern.Matches(states.pattern)) return false;
        for (std::size_t i = 0; i < m_rules.pathExcludes.size(); ++i) {
            if (m_rules.pathExcludes[i].Matches(states.excludes[i])) return false;
        }
        return std::none_of(m_rules.nameExcludes.begin(), m_rules.nameExcludes.end(),
                            [&](const std::string& exclude) { return MatchComponent(exclude, name); });
    }

    bool AllExcluded(const FolderStates& states) const {
        for (std::size_t i = 0; i < m_rules.pathExcludes.size(); ++i) {
            if (m_rules.pathExcludes[i].CoversAllBelow(states.excludes[i])) return true;
        }
        return false;
    }

    bool LeadsInside(const fs::path& target) const {
        return std::any_of(m_allowed.begin(), m_allowed.end(),
                           [&](const fs::path& allowed) { return IsWithin(target, allowed); });
    }

    void FailOutside(const std::string& relative, const fs::path& target) {
        Fail("'" + relative + "' is a link to '" + target.string() +
             "', outside the project folder; copy it in, or name it as a source of its own");
    }

    void Fail(const std::string& message) {
        if (m_result.error.empty()) m_result.error = message;
    }

    fs::path m_root;
    const WalkRules& m_rules;
    std::vector<fs::path> m_allowed;
    std::size_t m_folders = 0;
    WalkResult m_result;
};

}  // namespace

WalkResult WalkFiles(const fs::path& root, const fs::path& projectFolder, const WalkRules& rules) {
    return FileWalk(root, projectFolder, rules).Run();
}

}  // namespace palisade::tools
