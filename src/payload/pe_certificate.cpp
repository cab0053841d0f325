// Where a PE32 image's Authenticode certificate lies.
#include "payload/pe_certificate.h"

#include "payload/little_endian.h"
#include "payload/pe_layout.h"

namespace palisade {

std::optional<CertificateDirectory> FindCertificateDirectory(ByteView image, std::uint32_t peHeaderOffset) {
    std::uint64_t pe = peHeaderOffset;
    std::uint64_t entry = pe + kPeCertificateDirectoryField;
    if (entry + 8 > image.size || LoadU32(image.data + pe) != kPeSignature ||
        LoadU16(image.data + pe + kPeOptionalHeader) != kPe32Magic) {
        return std::nullopt;
    }
    std::uint64_t optionalEnd = pe + kPeOptionalHeader + LoadU16(image.data + pe + kPeOptionalHeaderSizeField);
    if (LoadU32(image.data + pe + kPeDirectoryCountField) <= kPeCertificateDirectoryIndex || entry + 8 > optionalEnd) {
        return std::nullopt;
    }
    CertificateDirectory directory;
    directory.entryOffset = std::size_t(entry);
    directory.position = LoadU32(image.data + entry);
    directory.size = LoadU32(image.data + entry + 4);
    return directory;
}

bool CarriesSignature(ByteView image) {
    if (image.size < kDosPeOffsetField + 4) return false;
    std::optional<CertificateDirectory> directory =
        FindCertificateDirectory(image, LoadU32(image.data + kDosPeOffsetField));
    return directory && directory->Names() &&
           std::uint64_t(directory->position) + directory->size <= image.size;
}

}  // namespace palisade
