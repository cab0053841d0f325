// The crash-report values an installer's author sets (short name, sender
// address, private header line, report endpoint): a fixed-size record in the
// stub's resources that the builder fills in, so that the values are there
// from the first instruction, in the installer and in its uninstaller.
//
// Layout (kVendorRecordSize bytes, the rest zero):
//   0   16  the marker "PalisadeVendor1" and a zero byte
//   16  ..  four fields in the order above, each a u16 little-endian length
//           and that many bytes of UTF-8
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_view.h"

namespace palisade {

inline constexpr std::size_t kVendorRecordSize = 1024;
inline constexpr std::size_t kVendorMarkerSize = 16;

struct VendorValues {
    std::string shortName;       // UTF-8
    std::string senderAddress;
    std::string privateHeader;
    std::string reportEndpoint;
};

// The record, or nothing when the values do not fit in it.
std::optional<std::vector<std::uint8_t>> EncodeVendorRecord(const VendorValues& values);

// The values of a record; nothing without the marker or when a length runs
// past the record.
std::optional<VendorValues> DecodeVendorRecord(ByteView record);

// The record with no values, as the stub carries it before a build.
std::vector<std::uint8_t> EmptyVendorRecord();

// Writes the record for `values` over the one record in `image` (found by its
// marker). An error text when there is not exactly one, or the values do not fit.
std::string PutVendorRecord(std::vector<std::uint8_t>& image, const VendorValues& values);

}  // namespace palisade
