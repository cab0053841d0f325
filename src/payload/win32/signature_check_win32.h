// Integrity mode 2: verifies the executable's Authenticode signature.
#pragma once

#include <cstdint>
#include <string>

namespace palisade {

struct SignatureCheck {
    int result = 0;                // the result number n (see signature_result.h)
    std::uint32_t lastError = 0;   // the verifier's last error (632 when it is missing)
};

SignatureCheck VerifyOwnSignature(const std::u16string& executablePath);

}  // namespace palisade
