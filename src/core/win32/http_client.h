// Sends one HTTP request through WinHTTP, which is loaded from the system
// folder on first use (it handles TLS for https: and the system's proxy).
#pragma once

#include "core/http_request.h"
#include "core/win32/win32_status.h"

namespace palisade {

// Sends `request` and reads the answer to its end. The status code the server
// answered, or the failure (ERROR_WINHTTP_* codes, or ERROR_MOD_NOT_FOUND
// without WinHTTP). Each phase (name lookup, connection, sending, receiving)
// is bounded by the request's time-out.
Win32Result<int> SendHttpRequest(const HttpRequest& request);

}  // namespace palisade
