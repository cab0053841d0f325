// Turns a parsed project into an installer image: resolves and reads the files, builds the catalogue, encodes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builder/build_values.h"
#include "builder/project.h"
#include "common/diagnostics.h"
#include "common/progress.h"
#include "payload/item_stream_writer.h"
#include "payload/payload_writer.h"

namespace palisade::tools {

// The items of every `[[files]]` entry, in entry order and, within an entry,
// by relative path. Problems (an unreadable file, text the record cannot
// hold) are reported at the entry.
std::optional<std::vector<PayloadItem>> CollectItems(const Project& project, Progress& progress,
                                                     Diagnostics& diagnostics);

// The settings as they go into the block: the project's, with the catalogue
// and the compression bit filled in.
InstallerSettings FinalSettings(const Project& project, const MessageCatalogue& catalogue);

// The payload options of the project's build options (the key must be chosen already).
PayloadOptions MakePayloadOptions(const Project& project, const CipherKey& key);

struct BuildSummary {
    std::vector<std::uint8_t> image;
    std::size_t itemCount = 0;
    std::size_t chunkCount = 0;
    std::uint64_t dataBytes = 0;       // the files' bytes
    std::uint64_t streamBytes = 0;     // the item stream before compression
    std::uint64_t archiveBytes = 0;    // the archive as stored
    double seconds = 0;
    std::optional<CipherKey> key;      // when ciphered
    bool keyFromContent = false;       // the key follows the content (SOURCE_DATE_EPOCH, no key given)
};

// A cipher key that follows the settings block and the item stream, so that a
// reproducible build needs no key in the project: the same content gives the
// same key. It hides nothing that the random key would: the key travels in the
// installer either way.
CipherKey ContentCipherKey(const std::vector<std::uint8_t>& settingsBlock, const ItemStream& stream);

// Builds the installer from `stub`. On failure reports the error and returns nothing.
std::optional<BuildSummary> BuildInstaller(const Project& project, const std::vector<std::uint8_t>& stub,
                                           Progress& progress, Diagnostics& diagnostics);

}  // namespace palisade::tools
