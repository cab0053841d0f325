// Probe commands for signed programs: trusting a test root certificate in
// the prefix, and verifying a file's signature with the stub's own verifier.
#include <windows.h>
#include <wincrypt.h>

#include <fstream>
#include <iterator>

#include "core/text.h"
#include "payload/signature_result.h"
#include "payload/win32/signature_check_win32.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// `trust-root CERT.der`: adds a DER certificate to the machine's root store
// (test prefixes only: production code never changes what a system trusts).
int TrustRoot(const std::vector<std::string>& args, std::string& out) {
    if (args.empty()) return 2;
    std::ifstream in(args[0], std::ios::binary);  // test paths are ASCII
    std::vector<BYTE> der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (der.empty()) return 3;
    HCERTSTORE store = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!store) return 4;
    BOOL added = ::CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), DWORD(der.size()),
                                                    CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    DWORD error = ::GetLastError();
    ::CertCloseStore(store, 0);
    out = added ? "trusted\n" : "failed " + std::to_string(error) + "\n";
    return added ? 0 : 5;
}

// `verify-signature PATH`: the result number of integrity mode 2 for the
// file and whether the installer would stop on it: "result N fatal 0|1".
int VerifySignature(const std::vector<std::string>& args, std::string& out) {
    if (args.empty()) return 2;
    SignatureCheck check = VerifyOwnSignature(Utf8ToUtf16(args[0]));
    out = "result " + std::to_string(check.result) + " fatal " +
          (SignatureResultIsFatal(check.result, check.lastError) ? "1" : "0") + "\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("trust-root", TrustRoot);
PALISADE_PROBE_COMMAND("verify-signature", VerifySignature);

}  // namespace palisade::probe
