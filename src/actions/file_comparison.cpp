// Ordering of version texts and of file time stamps.
#include "actions/file_comparison.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/format.h"

namespace palisade {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// A version text as its numbers (each kept as its digits without leading
// zeros, so that numbers of any length compare by value) and its last letter.
struct ParsedVersion {
    std::vector<std::u16string_view> numbers;
    char16_t letter = 0;
};

ParsedVersion ParseVersion(std::u16string_view text) {
    static constexpr char16_t kZero[] = u"0";
    ParsedVersion parsed;
    std::size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (IsLetter(c)) parsed.letter = c;
        if (c == u'.' && parsed.numbers.empty()) parsed.numbers.push_back(std::u16string_view(kZero, 1));
        if (!IsDigit(c)) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        while (start + 1 < i && text[start] == u'0') ++start;
        parsed.numbers.push_back(text.substr(start, i - start));
    }
    return parsed;
}

// Two digit strings without leading zeros, by their decimal value.
int CompareNumbers(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int Sign(std::int64_t value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

int CompareVersions(std::u16string_view a, std::u16string_view b) {
    ParsedVersion left = ParseVersion(a);
    ParsedVersion right = ParseVersion(b);
    std::size_t common = std::min(left.numbers.size(), right.numbers.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (int order = CompareNumbers(left.numbers[i], right.numbers[i])) return order;
    }
    if (left.numbers.size() != right.numbers.size()) return left.numbers.size() < right.numbers.size() ? -1 : 1;
    return Sign(std::int64_t(left.letter) - std::int64_t(right.letter));
}

int CompareTimeStamps(const FileTimeStamp& a, const FileTimeStamp& b) {
    if (!a.HasDate() && b.HasDate()) return 1;
    if (a.HasDate() && !b.HasDate()) return -1;
    if (a.HasDate()) {
        // Widened, so that damaged stamps from a payload cannot overflow.
        if (a.year != b.year) return Sign(std::int64_t(a.year) - b.year);
        if (a.month != b.month) return Sign(std::int64_t(a.month) - b.month);
        if (a.day != b.day) return Sign(std::int64_t(a.day) - b.day);
    }
    if (!a.HasTime()) return b.HasTime() ? 1 : 0;
    if (!b.HasTime()) return -1;
    std::int64_t seconds = ((std::int64_t(a.hour) - b.hour) * 60 + (std::int64_t(a.minute) - b.minute)) * 60 +
                           (std::int64_t(a.second) - b.second);
    if (seconds >= -1 && seconds <= 1) return 0;
    if (seconds > INT32_MAX) return INT32_MAX;
    if (seconds < -INT32_MAX) return -INT32_MAX;
    return int(seconds);
}

std::u16string FormatTimeStamp(const FileTimeStamp& stamp) {
    return Format(u"%d/%02d/%02d %02d:%02d:%02d",
                  {stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second});
}

}  // namespace palisade
