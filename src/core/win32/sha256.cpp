// SHA-256 through the system's cryptographic provider.
#include "core/win32/sha256.h"

#include <windows.h>
#include <wincrypt.h>

#include "core/text.h"

namespace palisade {
namespace {

class ProviderHandle {
public:
    ~ProviderHandle() {
        if (m_hash) ::CryptDestroyHash(m_hash);
        if (m_provider) ::CryptReleaseContext(m_provider, 0);
    }
    HCRYPTPROV m_provider = 0;
    HCRYPTHASH m_hash = 0;
};

}  // namespace

Win32Result<std::u16string> Sha256Hex(ByteView bytes) {
    ProviderHandle handles;
    if (!::CryptAcquireContextW(&handles.m_provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
        return Win32Status::FromLastError();
    }
    if (!::CryptCreateHash(handles.m_provider, CALG_SHA_256, 0, 0, &handles.m_hash)) return Win32Status::FromLastError();
    while (!bytes.empty()) {
        DWORD chunk = DWORD(std::min<std::size_t>(bytes.size, 1u << 24));
        if (!::CryptHashData(handles.m_hash, bytes.data, chunk, 0)) return Win32Status::FromLastError();
        bytes = bytes.Sub(chunk);
    }
    BYTE digest[32] = {};
    DWORD length = sizeof(digest);
    if (!::CryptGetHashParam(handles.m_hash, HP_HASHVAL, digest, &length, 0) || length != sizeof(digest)) {
        return Win32Status::FromLastError();
    }
    std::u16string hex;
    for (BYTE b : digest) hex += ToU16Hex(b, 2, false);
    return hex;
}

}  // namespace palisade
