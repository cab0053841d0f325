// Integrity mode 2: verifies the executable's Authenticode signature.
#pragma once

#include <string>

namespace palisade {

// The result number n of the signature test (see signature_result.h). Leaves
// the thread's last error as the verifier left it (632 when it is missing).
int VerifyOwnSignature(const std::u16string& executablePath);

}  // namespace palisade
