// The folder page's space labels: the drive of the chosen folder, the space
// the installation needs on it (files rounded to the drive's clusters) and
// the labels' texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// The drive letter at the start of a folder ("X:"; a leading "|" is
// skipped); nothing for a network or relative path.
std::optional<char16_t> DriveLetterOf(std::u16string_view folder);

// The cluster size taken when the drive's is unknown (0).
inline constexpr std::uint64_t kDefaultClusterSize = 4096;

// Fixed size + every file rounded up to whole clusters + reserve size. The
// sizes come from the payload: the sum stops at the largest count rather
// than wrapping round to a small one.
std::uint64_t RequiredSpace(std::uint64_t fixedSize, const std::vector<std::uint64_t>& fileSizes,
                            std::uint64_t clusterSize, std::uint64_t reserveSize);

// A byte count with a unit, at most three significant digits, cut not
// rounded: "0 bytes", "999 bytes", "1.00 KB", "15.3 MB", "236 GB".
std::u16string FormatByteSize(std::uint64_t bytes);

// Where the folder browser may start for the edit's text, nearest first:
// the text without blanks at its ends and trailing backslashes (a drive root
// keeps its own), then each folder above it up to the drive or share root.
// The browser starts at the first that exists, so that a folder still to be
// made opens the browser at its parent.
std::vector<std::u16string> BrowseStartCandidates(std::u16string_view text);

struct SpaceLabels {
    std::u16string required;
    std::optional<std::u16string> available;  // nothing: the label stays as it is
};

// The two labels for `folder`: the required space always, the available
// space only when the folder starts with a drive letter (a free space that
// is unknown or negative shows as 0).
SpaceLabels FolderSpaceLabels(std::u16string_view folder, std::uint64_t required,
                              std::optional<std::int64_t> freeBytes, std::u16string_view requiredMessage,
                              std::u16string_view availableMessage);

}  // namespace palisade
