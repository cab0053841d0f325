// Probe commands about the probe's own environment.
#include <windows.h>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// `echo TEXT...`: prints its arguments, one per line (checks the argument path).
int Echo(const std::vector<std::string>& args, std::string& out) {
    for (const auto& a : args) out += a + "\n";
    return 0;
}

// `env NAME`: prints an environment variable as the process sees it.
int Env(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    wchar_t buffer[32768];
    std::wstring name = ToWide(Utf8ToUtf16(args[0]));
    DWORD n = ::GetEnvironmentVariableW(name.c_str(), buffer, 32768);
    if (n == 0 || n >= 32768) return 1;
    out = Utf16ToUtf8(FromWide(std::wstring_view(buffer, n)));
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("echo", Echo);
PALISADE_PROBE_COMMAND("env", Env);

}  // namespace palisade::probe
