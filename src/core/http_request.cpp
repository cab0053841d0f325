// An HTTP request as the notification worker and the crash report send it.
#include "core/http_request.h"

namespace palisade {
namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool StartsWithAsciiIgnoreCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != prefix[i]) return false;
    }
    return true;
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

std::optional<std::uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + std::uint32_t(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return std::uint16_t(value);
}

// "host", "host:port", "[v6]" or "[v6]:port" into the address; false when malformed.
bool ParseAuthority(std::string_view authority, HttpAddress& out) {
    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        out.host = std::string(authority.substr(1, close - 1));
        std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return false;
            portText = rest.substr(1);
            if (portText.empty()) return false;
        }
    } else {
        std::size_t colon = authority.find(':');
        out.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            portText = authority.substr(colon + 1);
            if (portText.empty()) return false;
        }
    }
    if (out.host.empty()) return false;
    if (!portText.empty()) {
        std::optional<std::uint16_t> port = ParsePort(portText);
        if (!port) return false;
        out.port = *port;
    }
    return true;
}

}  // namespace

bool IsPlainHttpAddress(std::string_view address) { return StartsWithAsciiIgnoreCase(address, "http:"); }

std::optional<HttpAddress> ParseHttpAddress(std::string_view address) {
    if (HasControlCharacter(address)) return std::nullopt;
    HttpAddress out;
    std::string_view rest;
    if (StartsWithAsciiIgnoreCase(address, "http://")) {
        rest = address.substr(7);
    } else if (StartsWithAsciiIgnoreCase(address, "https://")) {
        rest = address.substr(8);
        out.https = true;
        out.port = 443;
    } else {
        return std::nullopt;
    }
    std::size_t fragment = rest.find('#');
    if (fragment != std::string_view::npos) rest = rest.substr(0, fragment);
    std::size_t authorityEnd = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, authorityEnd);
    if (authority.find('@') != std::string_view::npos) return std::nullopt;
    if (!ParseAuthority(authority, out)) return std::nullopt;
    if (authorityEnd != std::string_view::npos) {
        std::string_view path = rest.substr(authorityEnd);
        out.path = path.front() == '/' ? std::string(path) : "/" + std::string(path);
    }
    return out;
}

std::string MultipartFormBody(const FormFields& fields) {
    std::string body;
    for (const auto& [name, value] : fields) {
        body += "--";
        body += kFormBoundary;
        body += "\r\nContent-Disposition: form-data; name=\"";
        body += name;
        body += "\"\r\n\r\n";
        body += value;
        body += "\r\n";
    }
    body += "--";
    body += kFormBoundary;
    body += "--\r\n";
    return body;
}

std::string MultipartFormHeaders() {
    return std::string("Content-Type: multipart/form-data; boundary=") + kFormBoundary + "\r\n";
}

std::string HttpRequestText(const HttpRequest& request) {
    const HttpAddress& address = request.address;
    std::string host = address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host;
    if (address.port != (address.https ? 443 : 80)) host += ":" + std::to_string(address.port);
    std::string text = (request.post ? "POST " : "GET ") + address.path + " HTTP/1.0\r\n";
    text += "Host: " + host + "\r\n";
    text += std::string("User-Agent: ") + kHttpUserAgent + "\r\n";
    text += "Connection: close\r\n";
    text += request.headers;
    if (request.post) text += "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
    text += "\r\n";
    text += request.body;
    return text;
}

std::optional<int> HttpStatusCode(std::string_view answer) {
    if (answer.substr(0, 5) != "HTTP/") return std::nullopt;
    std::size_t space = answer.find(' ');
    if (space == std::string_view::npos || space > 12 || answer.size() < space + 4) return std::nullopt;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        char c = answer[i];
        if (c < '0' || c > '9') return std::nullopt;
        code = code * 10 + (c - '0');
    }
    if (answer.size() > space + 4 && answer[space + 4] != ' ' && answer[space + 4] != '\r') return std::nullopt;
    return code;
}

HttpRequest GetRequest(const HttpAddress& address) {
    HttpRequest request;
    request.address = address;
    return request;
}

HttpRequest FormPostRequest(const HttpAddress& address, const FormFields& fields) {
    HttpRequest request;
    request.address = address;
    request.post = true;
    request.headers = MultipartFormHeaders();
    request.body = MultipartFormBody(fields);
    return request;
}

}  // namespace palisade
