// SHA-256 through the system's cryptographic provider.
#pragma once

#include <string>

#include "core/byte_view.h"
#include "core/win32/win32_status.h"

namespace palisade {

// The digest of `bytes` as 64 lower-case hexadecimal digits.
Win32Result<std::u16string> Sha256Hex(ByteView bytes);

}  // namespace palisade
