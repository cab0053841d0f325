// How much room a drive or share has: the free space this user may fill and
// the size of its clusters, which files occupy whole.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/win32/win32_status.h"

namespace palisade {

// The free bytes available to the calling user on the volume that holds
// `root` ("C:\" or "\\server\share\"; any existing folder on it will do).
Win32Result<std::uint64_t> FreeBytesForUser(std::u16string_view root);

// Bytes per cluster of the volume of `root` ("C:\").
Win32Result<std::uint64_t> ClusterSize(std::u16string_view root);

}  // namespace palisade
