// The system's list of operations pending for the next restart (pairs of
// source and target in one multi-string), the edit that keeps it from undoing
// freshly installed files, and the names of temporary replacement files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/installation_record.h"

namespace palisade {

// A multi-string value's data (NUL-separated strings ending in an extra NUL)
// as its strings; empty strings inside the list are kept.
std::vector<std::u16string> SplitMultiString(std::u16string_view data);
// The strings, each NUL-terminated, followed by the closing NUL.
std::u16string JoinMultiString(const std::vector<std::u16string>& strings);

// A pending path without its object-namespace prefix: leading backslashes,
// question marks and exclamation marks removed.
std::u16string StripPendingPrefix(std::u16string_view path);

struct PendingListEdit {
    std::vector<std::u16string> strings;   // the list to write back (padded to pairs)
    bool changed = false;                  // at least one pair was removed
    std::vector<std::u16string> logLines;  // in list order
    std::vector<std::u16string> filesToDelete;  // sources of removed moves, prefix stripped
};

// Removes every pair whose target, or for a deletion whose source, is an
// installed file.
PendingListEdit EditPendingList(std::vector<std::u16string> strings, const PathSet& installed);

// Numbered temporary names: "KRT%04X.%s" for the fallback of extension-less
// names, "KRT%4X.%s" (blank-padded) for names with an extension, whose
// leading period is dropped.
std::u16string NumberedTempName(std::uint16_t number);
std::u16string TempNameWithExtension(std::uint16_t number, std::u16string_view extension);

}  // namespace palisade
