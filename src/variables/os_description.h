// The operating system's name and numeric code as the variables, the log and
// the notifications show them, worked out from an OsVersionInfo record.
#pragma once

#include <cstdint>
#include <string>

#include "variables/os_version_info.h"

namespace palisade {

// Mode bits of DescribeOs.
inline constexpr int kDescribeNoServicePack = 1;
inline constexpr int kDescribeNoEdition = 2;
inline constexpr int kDescribeShort = 4;

// describeOs: "Windows 8.1 Professional x64" (mode 0), "8" (kDescribeShort) ...
std::u16string DescribeOs(const OsVersionInfo& os, int mode);

// osCode: 0 unless NT; 20 for XP ... 56 for Windows 11, 60 for Server 2022.
std::int32_t OsCode(const OsVersionInfo& os);

// The server test: product type 2 (domain controller) or 3 (server).
bool IsServerOs(const OsVersionInfo& os);

// The edition suffix for a GetProductInfo code (" Ultimate" for 1); empty for
// the codes that add nothing.
std::u16string_view EditionSuffix(std::uint32_t editionCode);

}  // namespace palisade
