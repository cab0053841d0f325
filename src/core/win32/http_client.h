// Sends one HTTP request: an http: address over a plain Windows Sockets
// connection, an https: address through WinHTTP (loaded from the system
// folder on first use), which does TLS and takes the system's proxy.
#pragma once

#include "core/http_request.h"
#include "core/win32/win32_status.h"

namespace palisade {

// Sends `request` and reads the answer to its end. The status code the server
// answered, or the failure (a Windows Sockets or ERROR_WINHTTP_* code, or
// ERROR_MOD_NOT_FOUND without the library). Each phase (name lookup, connection, sending, receiving)
// is bounded by the request's time-out.
Win32Result<int> SendHttpRequest(const HttpRequest& request);

}  // namespace palisade
