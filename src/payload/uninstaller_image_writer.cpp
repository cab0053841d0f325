// The builder's side of the carried uninstaller record (kept apart from the
// reader: the stub links no xz encoder).
#include "payload/uninstaller_image.h"

#include "payload/crc32.h"
#include "payload/little_endian.h"
#include "payload/xz_codec.h"

namespace palisade {

std::optional<std::vector<std::uint8_t>> EncodeCarriedUninstaller(const std::vector<std::uint8_t>& image,
                                                                  std::uint32_t xzPreset) {
    if (image.empty() || image.size() > kMaxCarriedUninstallerSize) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> packed = XzCompress(image.data(), image.size(), xzPreset);
    if (!packed) return std::nullopt;
    std::vector<std::uint8_t> record;
    record.reserve(kCarriedUninstallerHeaderSize + packed->size());
    AppendU32(record, kCarriedUninstallerMagic);
    AppendU32(record, std::uint32_t(packed->size()));
    AppendU32(record, std::uint32_t(image.size()));
    AppendU32(record, Crc32(*packed));
    record.insert(record.end(), packed->begin(), packed->end());
    return record;
}

}  // namespace palisade
