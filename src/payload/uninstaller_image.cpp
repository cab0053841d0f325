// The uninstaller's image: the carried signed image, or the stripped installer.
#include "payload/uninstaller_image.h"

#include "core/fatal_codes.h"
#include "payload/crc32.h"
#include "payload/little_endian.h"
#include "payload/xz_codec.h"

namespace palisade {

std::uint64_t CarriedUninstallerPosition(const PayloadHeader& header, const SetupSection& section) {
    return std::uint64_t(section.rawPosition) + header.archiveOffset + std::uint64_t(std::uint32_t(header.archiveLength));
}

CarriedUninstaller ReadCarriedUninstaller(const ByteSource& file, std::uint64_t position) {
    CarriedUninstaller carried;
    std::uint8_t fields[kCarriedUninstallerHeaderSize];
    if (position > file.Size() || file.Size() - position < sizeof fields ||
        !file.ReadAt(position, fields, sizeof fields) || LoadU32(fields) != kCarriedUninstallerMagic) {
        return carried;  // none: padding, a certificate table or the end of the file
    }
    std::uint32_t storedLength = LoadU32(fields + 4);
    std::uint32_t imageLength = LoadU32(fields + 8);
    carried.errorCode = FatalCode::kTailUnreadable;
    std::uint64_t left = file.Size() - position - sizeof fields;
    if (storedLength == 0 || storedLength > left || imageLength == 0 || imageLength > kMaxCarriedUninstallerSize ||
        storedLength > kMaxCarriedUninstallerSize) {
        return carried;
    }
    std::vector<std::uint8_t> bytes(storedLength);
    if (!file.ReadAt(position + sizeof fields, bytes.data(), bytes.size()) || Crc32(bytes) != LoadU32(fields + 12) ||
        !XzDecompress(bytes) || bytes.size() != imageLength) {
        return carried;
    }
    carried.errorCode = 0;
    carried.image = std::move(bytes);
    return carried;
}

ExecutableBytes PrepareUninstallerImage(std::vector<std::uint8_t> head, const ByteSource& file,
                                        const SetupSection& section, const PayloadHeader& header) {
    CarriedUninstaller carried = ReadCarriedUninstaller(file, CarriedUninstallerPosition(header, section));
    ExecutableBytes result;
    if (carried.errorCode != 0) {
        result.errorCode = carried.errorCode;
        return result;
    }
    if (!carried.image) return BuildStrippedInstaller(std::move(head), file, section);
    result.bytes = std::move(*carried.image);
    result.carried = true;
    return result;
}

}  // namespace palisade
