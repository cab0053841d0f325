// Giving back this product's shared-file counts: the record of counted files
// read back, one count lowered per entry, and what happens to a file whose
// count reaches zero.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/shared_counts.h"

namespace palisade {

enum class SharedMark { None, Permanent, ComServer, TypeLibrary };

struct SharedEntry {
    std::u16string path;  // marks removed
    SharedMark mark = SharedMark::None;
};

// The quoted entries of a "SharedFiles" record ("\"a\";\"^b\""); the marks
// are taken off in the order "^", blank, U+00A9. Text outside quotes is
// ignored; an unclosed quote ends the record; empty entries are skipped.
std::vector<SharedEntry> ParseSharedFilesRecord(std::u16string_view record);


// What to do with one entry after its count was lowered.
struct SharedRelease {
    SharedEntry entry;
    bool reachedZero = false;  // the count went from 1 to 0; the value is deleted
    bool unregister = false;   // a COM server or type library at zero
    bool removeFile = false;   // at zero and not permanent
};

// Lowers each entry's count once (an entry listed twice is lowered once).
// A count above 1 is written back lowered; a count of 1 reaches zero and its
// value is deleted. A missing count (or 0) is not lowered and the file is
// kept: nobody's count says it belongs to this product alone.
std::vector<SharedRelease> ReleaseSharedCounts(const std::vector<SharedEntry>& entries, SharedCountStore& counts);

}  // namespace palisade
