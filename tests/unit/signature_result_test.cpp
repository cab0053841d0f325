// Integrity mode 2: which verifier answers stop the run, and with which number.
#include "payload/signature_result.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

TEST(SignatureResult, MapsVerifierStatusesToResultNumbers) {
    struct Case { std::uint32_t status; int n; };
    const Case cases[] = {
        {0, 0},           {0x80092026, 4},  {0x80096004, 13}, {0x80096005, 12}, {0x80096010, 3},
        {0x800B0004, 3},  {0x800B0109, 3},  {0x800B0001, 16}, {0x800B0003, 9},  {0x800B0101, 11},
        {0x800B010A, 17}, {0x800B010C, 10}, {0x800B0111, 2},  {0x80004005, 6},
    };
    for (const Case& c : cases) EXPECT_EQ(MapSignatureStatus(c.status, 0), c.n) << std::hex << c.status;
}

TEST(SignatureResult, NoSignatureIsRefinedOnceByTheLastError) {
    EXPECT_EQ(MapSignatureStatus(0x800B0100, 0x800B0100), 1);
    EXPECT_EQ(MapSignatureStatus(0x800B0100, 0x800B0003), 9) << "unknown subject form";
    EXPECT_EQ(MapSignatureStatus(0x800B0100, 0x800B0001), 16) << "unknown provider";
}

TEST(SignatureResult, OpenFailuresByKind) {
    EXPECT_EQ(MapSignatureOpenFailure(2), 7);
    EXPECT_EQ(MapSignatureOpenFailure(3), 7);
    EXPECT_EQ(MapSignatureOpenFailure(5), 8);
    EXPECT_EQ(MapSignatureOpenFailure(32), 14);
    EXPECT_EQ(MapSignatureOpenFailure(1450), 6);
}

TEST(SignatureResult, OnlyUntoleratedResultsAreFatal) {
    // Result number: whether the run stops on it (the verifier's last error being 0).
    const std::pair<int, bool> cases[] = {
        {0, false}, {1, true},   {2, true},   {3, true},   {4, false},  {5, false},  {6, true},
        {7, false}, {8, false},  {9, false},  {10, true},  {11, false}, {12, true},  {13, false},
        {14, true}, {15, true},  {16, true},  {17, false}, {18, true},
    };
    for (const auto& [n, fatal] : cases) EXPECT_EQ(SignatureResultIsFatal(n, 0), fatal) << n;
    EXPECT_FALSE(SignatureResultIsFatal(1, 0x800B010A)) << "the chaining error as last error tolerates the rest";
    EXPECT_FALSE(SignatureResultIsFatal(15, 0x800B010A));
}

TEST(SignatureResult, RevokedAndUnknownAnswersStopTheRunWhateverTheLastError) {
    EXPECT_TRUE(SignatureResultIsFatal(MapSignatureStatus(0x800B010C, 0x800B010C), 0x800B010C)) << "revoked";
    EXPECT_TRUE(SignatureResultIsFatal(10, 0x800B010A));
    EXPECT_TRUE(SignatureResultIsFatal(MapSignatureStatus(0x80092012, 0x80092012), 0x80092012))
        << "CRYPT_E_NO_REVOCATION_CHECK is no answer the mapping knows";
    EXPECT_TRUE(SignatureResultIsFatal(6, 0x800B010A));
    EXPECT_FALSE(SignatureResultIsFatal(MapSignatureStatus(0x800B010A, 0x800B010A), 0x800B010A)) << "chaining";
}

}  // namespace
}  // namespace palisade
