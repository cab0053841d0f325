// Where things lie in an installer image with a plain archive inside its
// section, for tests that change a byte of it on purpose and make the
// checksums agree again, so that the item walk meets the damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/byte_source.h"
#include "payload/crc32.h"
#include "payload/section_locator.h"

namespace palisade::wine {

// Where things lie in a built installer with an archive inside its section.
struct Layout {
    SetupSection section;
    std::size_t payload = 0;   // file offset of the payload start
    std::size_t settings = 0;  // of the stored settings block
    std::size_t archive = 0;   // of the archive
};

inline std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}

// Header field offsets from the payload start (no key: the payload is plain).
constexpr std::size_t kVersionField = 4, kSettingsSizeField = 15, kPayloadLengthField = 27,
                      kItemCountField = 31, kArchiveLengthField = 35, kArchiveChecksumField = 39,
                      kItemSizeTable = 43;

inline Layout Locate(const std::vector<std::uint8_t>& image) {
    Layout layout;
    layout.section = std::get<SetupSection>(LocateSetupSection(MemoryByteSource(image)));
    layout.payload = layout.section.rawPosition;
    std::uint32_t itemCount = Get32(image, layout.payload + kItemCountField);
    layout.settings = layout.payload + kItemSizeTable + 4 * itemCount;
    layout.archive = layout.settings + Get32(image, layout.payload + kSettingsSizeField);
    return layout;
}

// After a deliberate change inside the archive, makes its checksums agree
// again so that the walk, not the archive test, meets the damage.
inline void ResealArchive(std::vector<std::uint8_t>& image, const Layout& layout) {
    std::uint32_t chunkSize = Get32(image, layout.archive);
    if (std::int32_t(chunkSize) > 0 && layout.archive + 8 + chunkSize <= image.size()) {
        Put32(image, layout.archive + 4, Crc32(&image[layout.archive + 8], chunkSize));
    }
    std::uint32_t archiveLength = Get32(image, layout.payload + kArchiveLengthField);
    Put32(image, layout.payload + kArchiveChecksumField, Crc32(&image[layout.archive], archiveLength));
}

}  // namespace palisade::wine
