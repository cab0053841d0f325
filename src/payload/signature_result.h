// Integrity mode 2: turning the signature verifier's answer into the result
// number that users quote (reported as error code 1000 + n).
#pragma once

#include <cstdint>

namespace palisade {

// Result numbers for the cases the verifier itself cannot answer.
inline constexpr int kSignatureVerifierMissing = 5;
inline constexpr int kSignatureVerifierCrashed = 15;
inline constexpr std::uint32_t kVerifierMissingLastError = 632;

// Maps the verifier's status; `lastError` is the thread's last error after
// the call, consulted once when the status says "no signature".
int MapSignatureStatus(std::uint32_t status, std::uint32_t lastError);

// The result number when the executable cannot be opened for the test, by the
// system error of the failed open.
int MapSignatureOpenFailure(std::uint32_t openError);

// Result numbers that always end the run: a revoked certificate, and an
// answer the mapping does not know (which may hide any failure).
inline constexpr int kSignatureRevoked = 10;
inline constexpr int kSignatureUnknownAnswer = 6;

// True when result `n` ends the run: every result except 0, 4, 5, 7, 8, 9,
// 11, 13 and 17; while the last error is the certificate-chaining error only
// a revoked certificate and an unknown answer still do.
bool SignatureResultIsFatal(int n, std::uint32_t lastError);

}  // namespace palisade
