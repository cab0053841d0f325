// Reading a whole file for the builder and the inspector, with the reason of
// every failure: missing, a folder, too large, or the system's error text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace palisade::tools {

// Larger than anything the builder reads (an item holds at most 1 GiB).
inline constexpr std::uint64_t kNoFileSizeLimit = UINT64_MAX;

struct FileBytes {
    std::vector<std::uint8_t> bytes;
    std::string error;  // "cannot read 'path': why"; empty on success
    bool Ok() const { return error.empty(); }
};

// The file's bytes. A file larger than `maxSize` is refused before anything
// is read, with `what` naming the limit's reason ("an item holds at most 1 GiB").
FileBytes ReadFileBytes(const std::filesystem::path& path, std::uint64_t maxSize = kNoFileSizeLimit,
                        const std::string& what = "");

// Why `path` cannot be read as a file, or empty when it can be opened: for
// messages about files that something else (a parser) failed to read.
std::string WhyUnreadable(const std::filesystem::path& path);

}  // namespace palisade::tools
