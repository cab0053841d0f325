// Integrity mode 2: turning the signature verifier's answer into a result number.
#include "payload/signature_result.h"

namespace palisade {

namespace {

// The verifier's status codes (WinTrust and certificate errors).
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kSecuritySettings = 0x80092026;   // CRYPT_E_SECURITY_SETTINGS
constexpr std::uint32_t kCertSignature = 0x80096004;      // TRUST_E_CERT_SIGNATURE
constexpr std::uint32_t kTimeStamp = 0x80096005;          // TRUST_E_TIME_STAMP
constexpr std::uint32_t kBadDigest = 0x80096010;          // TRUST_E_BAD_DIGEST
constexpr std::uint32_t kSubjectNotTrusted = 0x800B0004;  // TRUST_E_SUBJECT_NOT_TRUSTED
constexpr std::uint32_t kUntrustedRoot = 0x800B0109;      // CERT_E_UNTRUSTEDROOT
constexpr std::uint32_t kProviderUnknown = 0x800B0001;    // TRUST_E_PROVIDER_UNKNOWN
constexpr std::uint32_t kSubjectFormUnknown = 0x800B0003; // TRUST_E_SUBJECT_FORM_UNKNOWN
constexpr std::uint32_t kExpired = 0x800B0101;            // CERT_E_EXPIRED
constexpr std::uint32_t kChaining = 0x800B010A;           // CERT_E_CHAINING
constexpr std::uint32_t kRevoked = 0x800B010C;            // CERT_E_REVOKED
constexpr std::uint32_t kExplicitDistrust = 0x800B0111;   // TRUST_E_EXPLICIT_DISTRUST
constexpr std::uint32_t kNoSignature = 0x800B0100;        // TRUST_E_NOSIGNATURE

constexpr int kNoSignatureResult = 1;

int MapOnce(std::uint32_t status) {
    switch (status) {
        case kSuccess: return 0;
        case kExplicitDistrust: return 2;
        case kBadDigest:
        case kSubjectNotTrusted:
        case kUntrustedRoot: return 3;
        case kSecuritySettings: return 4;
        case kSubjectFormUnknown: return 9;
        case kRevoked: return kSignatureRevoked;
        case kExpired: return 11;
        case kTimeStamp: return 12;
        case kCertSignature: return 13;
        case kProviderUnknown: return 16;
        case kChaining: return 17;
        case kNoSignature: return kNoSignatureResult;
        default: return kSignatureUnknownAnswer;
    }
}

}  // namespace

int MapSignatureStatus(std::uint32_t status, std::uint32_t lastError) {
    if (status != kNoSignature) return MapOnce(status);
    // "No signature" is refined by the last error once; if that says the
    // same again, it stays "no signature".
    return MapOnce(lastError);
}

int MapSignatureOpenFailure(std::uint32_t openError) {
    switch (openError) {
        case 2:   // ERROR_FILE_NOT_FOUND
        case 3:   // ERROR_PATH_NOT_FOUND
            return 7;
        case 5:   // ERROR_ACCESS_DENIED
            return 8;
        case 32:  // ERROR_SHARING_VIOLATION
            return 14;
        default: return kSignatureUnknownAnswer;
    }
}

bool SignatureResultIsFatal(int n, std::uint32_t lastError) {
    // A revoked certificate was withdrawn by its issuer, and an unknown answer
    // may stand for any failure: neither is a signature to run on.
    if (n == kSignatureRevoked || n == kSignatureUnknownAnswer) return true;
    if (lastError == kChaining) return false;
    bool tolerated = n == 0 || n == 4 || n == 5 || n == 7 || n == 8 || n == 9 || n == 11 || n == 13 || n == 17;
    return !tolerated;
}

}  // namespace palisade
