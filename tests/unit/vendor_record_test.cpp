// The record of an author's crash-report values in the stub: round trip, the
// empty record the stub ships, damaged records, and the builder writing it in.
#include "payload/vendor_record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace palisade {
namespace {

VendorValues Sample() {
    return {"Example \xC3\x89", "crash@example.com", "X-Product: p", "http://127.0.0.1:8080/report"};
}

bool operator==(const VendorValues& a, const VendorValues& b) {
    return a.shortName == b.shortName && a.senderAddress == b.senderAddress && a.privateHeader == b.privateHeader &&
           a.reportEndpoint == b.reportEndpoint;
}

TEST(VendorRecord, ValuesComeBackAsWritten) {
    std::optional<std::vector<std::uint8_t>> record = EncodeVendorRecord(Sample());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), kVendorRecordSize);
    std::optional<VendorValues> read = DecodeVendorRecord(ByteView(*record));
    ASSERT_TRUE(read);
    EXPECT_TRUE(*read == Sample());
}

TEST(VendorRecord, TheStubShipsTheEmptyRecord) {
    std::ifstream in(std::string(PALISADE_SOURCE_DIR) + "/src/ui/resources/crash_vendor.bin", std::ios::binary);
    std::vector<std::uint8_t> shipped((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(shipped, EmptyVendorRecord());
    std::optional<VendorValues> read = DecodeVendorRecord(ByteView(shipped));
    ASSERT_TRUE(read);
    EXPECT_TRUE(*read == VendorValues{});
}

TEST(VendorRecord, DamagedRecordsAreRefused) {
    std::vector<std::uint8_t> record = *EncodeVendorRecord(Sample());
    std::size_t used = 16 + 8 + Sample().shortName.size() + Sample().senderAddress.size() +
                       Sample().privateHeader.size() + Sample().reportEndpoint.size();
    for (std::size_t cut = 0; cut < used; ++cut) {
        EXPECT_FALSE(DecodeVendorRecord(ByteView(record.data(), cut))) << "cut at " << cut;
    }
    EXPECT_TRUE(DecodeVendorRecord(ByteView(record.data(), used)));
    std::vector<std::uint8_t> wrongMarker = record;
    wrongMarker[0] = 'X';
    EXPECT_FALSE(DecodeVendorRecord(ByteView(wrongMarker)));
    std::vector<std::uint8_t> longField = record;
    longField[16] = 0xFF;  // the short name's length runs past the record
    longField[17] = 0xFF;
    EXPECT_FALSE(DecodeVendorRecord(ByteView(longField)));
}

TEST(VendorRecord, ValuesThatDoNotFitAreRefused) {
    VendorValues big;
    big.privateHeader = std::string(kVendorRecordSize - 24, 'x');
    EXPECT_TRUE(EncodeVendorRecord(big));
    big.privateHeader += "x";
    EXPECT_FALSE(EncodeVendorRecord(big));
}

TEST(VendorRecord, TheBuilderWritesOverTheOneRecordOfTheImage) {
    std::vector<std::uint8_t> image(3000, 0xCC);
    std::vector<std::uint8_t> empty = EmptyVendorRecord();
    std::copy(empty.begin(), empty.end(), image.begin() + 1000);
    EXPECT_EQ(PutVendorRecord(image, Sample()), "");
    std::optional<VendorValues> read = DecodeVendorRecord(ByteView(image.data() + 1000, kVendorRecordSize));
    ASSERT_TRUE(read);
    EXPECT_TRUE(*read == Sample());
    EXPECT_EQ(image[999], 0xCC);
    EXPECT_EQ(image[1000 + kVendorRecordSize], 0xCC);

    std::vector<std::uint8_t> none(3000, 0xCC);
    EXPECT_NE(PutVendorRecord(none, Sample()), "");
    std::vector<std::uint8_t> twice(3000, 0);
    std::copy(empty.begin(), empty.begin() + 16, twice.begin());
    std::copy(empty.begin(), empty.end(), twice.begin() + 1500);
    EXPECT_NE(PutVendorRecord(twice, Sample()), "");
    std::vector<std::uint8_t> cutShort(empty.begin(), empty.begin() + 100);
    EXPECT_NE(PutVendorRecord(cutShort, Sample()), "");
}

}  // namespace
}  // namespace palisade
