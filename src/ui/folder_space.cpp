// Drive, required space and labels of the folder page.
#include "ui/folder_space.h"

#include <algorithm>
#include <limits>

#include "core/text.h"
#include "ui/blank_trim.h"

namespace palisade {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return a > kMax - b ? kMax : a + b; }

std::uint64_t RoundUpToCluster(std::uint64_t size, std::uint64_t cluster) {
    std::uint64_t clusters = size / cluster + (size % cluster != 0);
    return clusters > kMax / cluster ? kMax : clusters * cluster;
}

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

std::optional<char16_t> DriveLetterOf(std::u16string_view folder) {
    if (!folder.empty() && folder.front() == u'|') folder.remove_prefix(1);
    if (folder.size() >= 2 && IsAsciiLetter(folder[0]) && folder[1] == u':') return folder[0];
    return std::nullopt;
}

std::uint64_t RequiredSpace(std::uint64_t fixedSize, const std::vector<std::uint64_t>& fileSizes,
                            std::uint64_t clusterSize, std::uint64_t reserveSize) {
    const std::uint64_t cluster = clusterSize == 0 ? kDefaultClusterSize : clusterSize;
    std::uint64_t total = fixedSize;
    for (std::uint64_t size : fileSizes) total = SaturatingAdd(total, RoundUpToCluster(size, cluster));
    return SaturatingAdd(total, reserveSize);
}

std::u16string FormatByteSize(std::uint64_t bytes) {
    if (bytes < 1000) return ToU16(std::int64_t(bytes)) + u" bytes";
    static const char16_t* const kUnits[] = {u"KB", u"MB", u"GB", u"TB", u"PB", u"EB"};
    // The smallest unit in which the count is below 1000 (1000 to 1023 bytes are 0.97 KB to 0.99 KB).
    int unit = 1;
    while (unit < 6 && (bytes >> (10 * unit)) >= 1000) ++unit;
    const int shift = 10 * unit;
    const std::uint64_t whole = bytes >> shift;
    const std::uint64_t rest = bytes & ((std::uint64_t(1) << shift) - 1);
    // Hundredths of the unit, cut; the rest is narrowed first where 100 times it would not fit.
    const int narrow = shift > 57 ? shift - 57 : 0;
    const std::uint64_t hundredths = ((rest >> narrow) * 100) >> (shift - narrow);
    std::u16string text = ToU16(std::int64_t(whole));
    if (whole < 10) {
        text += u"." + ToU16(std::int64_t(hundredths / 10)) + ToU16(std::int64_t(hundredths % 10));
    } else if (whole < 100) {
        text += u"." + ToU16(std::int64_t(hundredths / 10));
    }
    return text + u" " + kUnits[unit - 1];
}

std::vector<std::u16string> BrowseStartCandidates(std::u16string_view text) {
    text = TrimBlanks(text);
    const bool network = text.size() > 2 && text[0] == u'\\' && text[1] == u'\\';
    // The shortest folder a candidate may be: "X:\" or the share's root "\\server\share".
    std::size_t shortest = 3;
    if (network) {
        const std::size_t server = text.find(u'\\', 2);
        const std::size_t share = server == text.npos ? text.npos : text.find(u'\\', server + 1);
        shortest = share == text.npos ? text.size() : share;
    }
    std::vector<std::u16string> candidates;
    std::u16string folder(text);
    while (folder.size() > shortest && folder.back() == u'\\') folder.pop_back();
    while (!folder.empty()) {
        candidates.push_back(folder);
        const std::size_t slash = folder.rfind(u'\\');
        if (slash == std::u16string::npos || folder.size() <= shortest) break;
        folder.resize(std::max(slash, shortest));
    }
    return candidates;
}

SpaceLabels FolderSpaceLabels(std::u16string_view folder, std::uint64_t required,
                              std::optional<std::int64_t> freeBytes, std::u16string_view requiredMessage,
                              std::u16string_view availableMessage) {
    SpaceLabels labels;
    labels.required = std::u16string(requiredMessage) + u" " + FormatByteSize(required);
    if (!DriveLetterOf(folder)) return labels;
    std::int64_t free = freeBytes.value_or(0);
    labels.available = std::u16string(availableMessage) + u" " + FormatByteSize(free < 0 ? 0 : std::uint64_t(free));
    return labels;
}

}  // namespace palisade
