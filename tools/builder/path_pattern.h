// Patterns of '/'-separated relative paths: `*` and `?` within a component, `**` for any number of folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade::tools {

// Matches one path component against a pattern of `*` (any run of characters),
// `?` (one character) and literal characters.
bool MatchComponent(std::string_view pattern, std::string_view name);

// Matches a '/'-separated relative path against a '/'-separated pattern in
// which a `**` component stands for any number of folders, none included.
bool MatchPath(std::string_view pattern, std::string_view path);

bool HasWildcard(std::string_view text);

// A path pattern matched one component at a time, so that a folder walk can
// carry the state of its folder down to what lies below it. A state records
// which pattern positions the path so far reaches; a step costs at most one
// component match per pattern component, so a pattern of many `**` takes
// time in proportion to pattern length times path length.
class PathPattern {
public:
    using State = std::vector<char>;  // reached[p]: pattern components [0, p) match the path so far

    explicit PathPattern(std::string_view pattern);

    State Start() const;
    State Step(const State& state, std::string_view component) const;
    // The path so far matches the whole pattern.
    bool Matches(const State& state) const;
    // Some path below the folder so far could match.
    bool ReachesBelow(const State& state) const;
    // Every path below the folder so far matches (the rest of the pattern is `**`).
    bool CoversAllBelow(const State& state) const;

private:
    // Positions inside or after a run of `**` are reached with the position before them.
    void Close(State& state) const;

    std::vector<std::string> m_parts;
};

}  // namespace palisade::tools
