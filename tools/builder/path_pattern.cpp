// Patterns of '/'-separated relative paths: `*` and `?` within a component, `**` for any number of folders.
#include "builder/path_pattern.h"

#include <algorithm>

namespace palisade::tools {

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

}  // namespace

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

bool MatchPath(std::string_view pattern, std::string_view path) {
    PathPattern compiled(pattern);
    PathPattern::State state = compiled.Start();
    for (std::string_view component : SplitPath(path)) state = compiled.Step(state, component);
    return compiled.Matches(state);
}

PathPattern::PathPattern(std::string_view pattern) {
    for (std::string_view part : SplitPath(pattern)) m_parts.emplace_back(part);
}

void PathPattern::Close(State& state) const {
    for (std::size_t p = 0; p < m_parts.size(); ++p) {
        if (state[p] && m_parts[p] == "**") state[p + 1] = 1;  // the `**` stands for no folder
    }
}

PathPattern::State PathPattern::Start() const {
    State state(m_parts.size() + 1, 0);
    state[0] = 1;
    Close(state);
    return state;
}

PathPattern::State PathPattern::Step(const State& state, std::string_view component) const {
    State next(m_parts.size() + 1, 0);
    for (std::size_t p = 0; p < m_parts.size(); ++p) {
        if (!state[p]) continue;
        if (m_parts[p] == "**") {
            next[p] = 1;  // one folder more
        } else if (MatchComponent(m_parts[p], component)) {
            next[p + 1] = 1;
        }
    }
    Close(next);
    return next;
}

bool PathPattern::Matches(const State& state) const { return state.back() != 0; }

bool PathPattern::ReachesBelow(const State& state) const {
    // Any rest of the pattern matches some path of at least one component; a
    // trailing `**` keeps its own position reached.
    return std::any_of(state.begin(), state.end() - 1, [](char reached) { return reached != 0; });
}

bool PathPattern::CoversAllBelow(const State& state) const {
    for (std::size_t p = 0; p < m_parts.size(); ++p) {
        if (state[p] && std::all_of(m_parts.begin() + std::ptrdiff_t(p), m_parts.end(),
                                    [](const std::string& part) { return part == "**"; })) {
            return true;
        }
    }
    return false;
}

}  // namespace palisade::tools
