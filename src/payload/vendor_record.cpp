// The crash-report values of an installer's author, as a record in the stub.
#include "payload/vendor_record.h"

#include <algorithm>

namespace palisade {
namespace {

// The marker is kept masked in the program, so that the record in the
// resources is the only place an image holds it.
constexpr std::uint8_t kMarkerMask = 0x5A;
constexpr std::uint8_t kMaskedMarker[kVendorMarkerSize] = {
    'P' ^ 0x5A, 'a' ^ 0x5A, 'l' ^ 0x5A, 'i' ^ 0x5A, 's' ^ 0x5A, 'a' ^ 0x5A, 'd' ^ 0x5A, 'e' ^ 0x5A,
    'V' ^ 0x5A, 'e' ^ 0x5A, 'n' ^ 0x5A, 'd' ^ 0x5A, 'o' ^ 0x5A, 'r' ^ 0x5A, '1' ^ 0x5A, 0x5A};

std::vector<std::uint8_t> Marker() {
    std::vector<std::uint8_t> marker(kVendorMarkerSize);
    for (std::size_t i = 0; i < kVendorMarkerSize; ++i) marker[i] = std::uint8_t(kMaskedMarker[i] ^ kMarkerMask);
    return marker;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeVendorRecord(const VendorValues& values) {
    std::vector<std::uint8_t> record = Marker();
    for (const std::string* field :
         {&values.shortName, &values.senderAddress, &values.privateHeader, &values.reportEndpoint}) {
        if (field->size() > 0xFFFF) return std::nullopt;
        record.push_back(std::uint8_t(field->size() & 0xFF));
        record.push_back(std::uint8_t(field->size() >> 8));
        record.insert(record.end(), field->begin(), field->end());
    }
    if (record.size() > kVendorRecordSize) return std::nullopt;
    record.resize(kVendorRecordSize, 0);
    return record;
}

std::optional<VendorValues> DecodeVendorRecord(ByteView record) {
    std::vector<std::uint8_t> marker = Marker();
    if (record.size < kVendorMarkerSize || !std::equal(marker.begin(), marker.end(), record.data)) return std::nullopt;
    VendorValues values;
    std::size_t at = kVendorMarkerSize;
    for (std::string* field :
         {&values.shortName, &values.senderAddress, &values.privateHeader, &values.reportEndpoint}) {
        if (at + 2 > record.size) return std::nullopt;
        std::size_t length = record.data[at] | (std::size_t(record.data[at + 1]) << 8);
        at += 2;
        if (length > record.size - at) return std::nullopt;
        field->assign(reinterpret_cast<const char*>(record.data + at), length);
        at += length;
    }
    return values;
}

std::vector<std::uint8_t> EmptyVendorRecord() { return *EncodeVendorRecord({}); }

std::string PutVendorRecord(std::vector<std::uint8_t>& image, const VendorValues& values) {
    std::optional<std::vector<std::uint8_t>> record = EncodeVendorRecord(values);
    if (!record) return "the [crash_report] values take more than " + std::to_string(kVendorRecordSize - 24) + " bytes";
    std::vector<std::uint8_t> marker = Marker();
    auto found = std::search(image.begin(), image.end(), marker.begin(), marker.end());
    if (found == image.end()) return "the stub has no place for the [crash_report] values";
    if (std::search(found + 1, image.end(), marker.begin(), marker.end()) != image.end()) {
        return "the stub holds the place for the [crash_report] values more than once";
    }
    if (std::size_t(image.end() - found) < kVendorRecordSize) return "the stub's place for [crash_report] is cut short";
    std::copy(record->begin(), record->end(), found);
    return "";
}

}  // namespace palisade
