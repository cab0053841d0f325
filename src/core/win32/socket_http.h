// Sends an http: request over a plain Windows Sockets connection.
#pragma once

#include "core/http_request.h"
#include "core/win32/win32_status.h"

namespace palisade {

// Connects (bounded by the request's time-out), sends the request text and
// reads the answer until the server closes the connection (each read and
// write bounded by the time-out). The status code the server answered, or
// the Windows Sockets error.
Win32Result<int> SendOverSocket(const HttpRequest& request);

}  // namespace palisade
