// Probe command for the HTTP sender of notifications and crash reports.
#include <string>

#include "core/http_request.h"
#include "core/win32/http_client.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// `http-get ADDRESS [TIMEOUT_MS]`: sends a GET as a notification does (with
// its time-out, or the one given); prints "status N" or "error CODE".
int HttpGet(const std::vector<std::string>& args, std::string& out) {
    if (args.empty()) return 2;
    std::optional<HttpAddress> address = ParseHttpAddress(args[0]);
    if (!address) {
        out = "refused\n";
        return 1;
    }
    HttpRequest request = GetRequest(*address);
    if (args.size() > 1) request.timeoutMs = std::uint32_t(std::stoul(args[1]));
    Win32Result<int> answer = SendHttpRequest(request);
    out = answer.ok() ? "status " + std::to_string(*answer) + "\n" : "error " + std::to_string(answer.code()) + "\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("http-get", HttpGet);

}  // namespace palisade::probe
