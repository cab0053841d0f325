// Where a PE32 image's Authenticode certificate lies: the certificate
// directory entry (data directory 4) and the file range it names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/byte_view.h"

namespace palisade {

// The certificate directory as the image's headers give it. `entryOffset` is
// the file offset of the 8-byte directory entry; `position` and `size` are the
// file range of the certificate table it names (both 0 when unsigned).
struct CertificateDirectory {
    std::size_t entryOffset = 0;
    std::uint32_t position = 0;
    std::uint32_t size = 0;

    bool Names() const { return position != 0 && size != 0; }
};

// Nothing when `image` holds no PE32 optional header with a fifth data
// directory inside it (the entry then does not exist).
std::optional<CertificateDirectory> FindCertificateDirectory(ByteView image, std::uint32_t peHeaderOffset);

// True when the image names a certificate table that lies inside it: a
// signing tool has signed it.
bool CarriesSignature(ByteView image);

}  // namespace palisade
