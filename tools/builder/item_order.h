// The order of the items in the archive: similar files side by side, where the order is free.
#pragma once

#include <vector>

#include "payload/item_stream_writer.h"

namespace palisade::tools {

// Reorders the items so that files of one type follow each other (by
// extension, then file name, letter case ignored), which lets xz find the
// matches between them within a chunk. Only ordinary files without a
// shortcut move, and only within a run of such files: every other item (a
// shared file, a font, a package that runs when written, a file with a
// shortcut) keeps its place and its order against the rest, and files with
// the same name keep their order among themselves, so that of two files
// written to one destination the same one still wins.
void OrderItemsForCompression(std::vector<PayloadItem>& items);

}  // namespace palisade::tools
