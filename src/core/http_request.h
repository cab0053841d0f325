// An HTTP request as the notification worker and the crash report send it:
// the address taken apart, the method, headers and body, all decided here so
// that the sender on the system side only carries it out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace palisade {

// Every request names the program with this user agent.
inline constexpr char kHttpUserAgent[] = "Palisade Setup Installer";
inline constexpr std::uint32_t kHttpTimeoutMs = 30000;
inline constexpr char kFormBoundary[] = "AaB03x";

// An "http:" or "https:" address taken apart. `path` starts with "/" and
// keeps the query; a fragment is dropped.
struct HttpAddress {
    bool https = false;
    std::string host;  // without the brackets of an IPv6 literal
    std::uint16_t port = 80;
    std::string path = "/";
};

// Nothing for an address that is not http: or https: (compared without
// regard to case), that has no host, a port outside 1..65535, user
// information ("name@host") or a control character. The default port is 80
// for http: and 443 for https:.
std::optional<HttpAddress> ParseHttpAddress(std::string_view address);

// "http:" at the start, compared without regard to case.
bool IsPlainHttpAddress(std::string_view address);

using FormFields = std::vector<std::pair<std::string, std::string>>;

// The multipart form: for each field "--AaB03x\r\nContent-Disposition:
// form-data; name=\"NAME\"\r\n\r\nVALUE\r\n", then "--AaB03x--\r\n".
std::string MultipartFormBody(const FormFields& fields);

// "Content-Type: multipart/form-data; boundary=AaB03x\r\n" (the sender adds
// the body's length).
std::string MultipartFormHeaders();

struct HttpRequest {
    HttpAddress address;
    bool post = false;    // GET otherwise
    std::string headers;  // extra header lines, each ended by CR LF
    std::string body;     // bytes, for a POST
    std::uint32_t timeoutMs = kHttpTimeoutMs;
};

// The request as it goes over a plain connection (HTTP/1.0, so that the
// server closes the connection after its answer): request line, Host,
// User-Agent, Connection: close, the extra headers, Content-Length for a
// POST, an empty line and the body.
std::string HttpRequestText(const HttpRequest& request);

// The status code of an answer's first line ("HTTP/1.1 200 OK" gives 200);
// nothing when the line is not an HTTP status line.
std::optional<int> HttpStatusCode(std::string_view answer);

// A GET of the address.
HttpRequest GetRequest(const HttpAddress& address);

// A POST of `fields` as a multipart form.
HttpRequest FormPostRequest(const HttpAddress& address, const FormFields& fields);

}  // namespace palisade
