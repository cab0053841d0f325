// Writing one installed file: three attempts, read-back, time stamps and
// attributes, and the hand-over to the restart replacement when it is in use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/byte_view.h"
#include "payload/file_entry.h"
#include "payload/item_walker.h"
#include "variables/install_context.h"

namespace palisade {

struct WriteRequest {
    std::u16string destination;
    ByteView data;
    FileTimeStamp timeStamp;      // applied when complete
    std::int32_t attributes = -1; // -1 leaves the attributes as created
    bool existedBefore = false;   // the overwrite rule saw the destination
    // A large item's data, read from the walk instead of `data`.
    ItemWalker* streamedFrom = nullptr;
    std::uint32_t streamedSize = 0;
};

struct WriteOutcome {
    bool written = false;   // the file holds the data now
    bool deferred = false;  // not written, but registered for replacement at the next restart
    int fatalCode = 0;      // reading streamed data from the archive failed: the run ends with it
};

// Failures go to the context's failure list (or, for a
// deferred file, to the run log) with their exact wording.
WriteOutcome WriteInstalledFile(const WriteRequest& request, InstallContext& context);

// Sets the creation and last-write times of `path` to `stamp` (UTC) when the
// stamp is complete; false when that was wanted and failed.
bool ApplyTimeStamp(std::u16string_view path, const FileTimeStamp& stamp);

// The "FileVersion" text of the file's version resource,
// commas turned into periods and surrounding blanks trimmed; empty when absent.
std::u16string ReadFileVersion(std::u16string_view path);

// The last-write time (UTC) a directory search reports
// for `path`; none when it finds nothing.
std::optional<FileTimeStamp> ReadFileTimeStamp(std::u16string_view path);

}  // namespace palisade
