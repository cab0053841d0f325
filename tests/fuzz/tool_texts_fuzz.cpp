// libFuzzer target: the builder's and inspector's readers of outside text.
// The first byte picks the reader; the rest is its input (UTF-8, or UTF-16
// little-endian for destinations).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/path_pattern.h"
#include "common/destination_checks.h"
#include "common/terminal_text.h"

namespace {

// Nothing a terminal acts on survives escaping, and escaping is idempotent
// on its own output (which is plain ASCII escapes around valid text).
void FuzzTerminalSafe(std::string_view text) {
    std::string safe = palisade::tools::TerminalSafe(text);
    for (std::size_t at = 0; at < safe.size();) {
        std::optional<char32_t> c = palisade::tools::NextCodePoint(safe, at);
        if (!c || palisade::tools::IsDisplayControl(*c)) std::abort();
    }
    if (palisade::tools::TerminalSafe(safe) != safe) std::abort();
}

void FuzzDestination(const std::uint8_t* data, std::size_t size) {
    std::u16string path;
    for (std::size_t i = 0; i + 1 < size; i += 2) path += char16_t(data[i] | (data[i + 1] << 8));
    std::size_t split = path.find(u'|');
    std::u16string_view whole(path);
    std::u16string effective = split == std::u16string::npos
                                   ? std::u16string(whole)
                                   : palisade::tools::EffectiveDestination(whole.substr(0, split), whole.substr(split + 1));
    if (palisade::tools::UnusualDestination(effective).size() > 4) std::abort();
}

std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t slash = std::min(text.find('/', start), text.size());
        if (slash > start) parts.push_back(text.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// The plain recursive matcher, as the reference on short patterns.
bool Reference(const std::vector<std::string_view>& pattern, std::size_t p, const std::vector<std::string_view>& path,
               std::size_t n) {
    if (p == pattern.size()) return n == path.size();
    if (pattern[p] == "**") {
        for (std::size_t skip = n; skip <= path.size(); ++skip) {
            if (Reference(pattern, p + 1, path, skip)) return true;
        }
        return false;
    }
    return n < path.size() && palisade::tools::MatchComponent(pattern[p], path[n]) &&
           Reference(pattern, p + 1, path, n + 1);
}

// Pattern and path split at the first NUL. The step-wise matcher agrees with
// the reference, and a folder it says nothing can lie below holds no match.
void FuzzPathPattern(std::string_view text) {
    std::size_t split = text.find('\0');
    if (split == std::string_view::npos) return;
    std::string_view pattern = text.substr(0, split);
    std::string_view path = text.substr(split + 1);
    std::vector<std::string_view> patternParts = Split(pattern), pathParts = Split(path);
    palisade::tools::PathPattern compiled(pattern);
    palisade::tools::PathPattern::State state = compiled.Start();
    bool pruned = false;
    for (std::size_t i = 0; i < pathParts.size(); ++i) {
        if (!compiled.ReachesBelow(state)) pruned = true;
        state = compiled.Step(state, pathParts[i]);
    }
    bool matches = palisade::tools::MatchPath(pattern, path);
    if (matches != compiled.Matches(state) || (pruned && matches)) std::abort();
    if (patternParts.size() <= 8 && pathParts.size() <= 12 && matches != Reference(patternParts, 0, pathParts, 0)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0: FuzzTerminalSafe(rest); break;
        case 1: FuzzDestination(data + 1, size - 1); break;
        default: FuzzPathPattern(rest); break;
    }
    return 0;
}
