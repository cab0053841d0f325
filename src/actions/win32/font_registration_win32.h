// Announces a font written to the Fonts folder: the system's font list in the
// registry and the running session's font table.
#pragma once

#include <string>

#include "payload/file_entry.h"
#include "variables/install_context.h"

namespace palisade {

// `entry.info` is the face name (UTF-8); `destination` the written font file.
// The WM_FONTCHANGE broadcast follows once, after the walk.
void RegisterFont(const FileEntry& entry, const std::u16string& destination, InstallContext& context);

}  // namespace palisade
