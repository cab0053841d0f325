// Sends an http: request over a plain Windows Sockets connection; ws2_32 is
// taken from the system folder on first use.
#include "core/win32/socket_http.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

#include "core/win32/system_library.h"

namespace palisade {
namespace {

constexpr std::size_t kMaxAnswerHead = 4096;  // only the status line is read

struct Sockets {
    decltype(&::WSAStartup) startup = nullptr;
    decltype(&::getaddrinfo) resolve = nullptr;
    decltype(&::freeaddrinfo) freeResolved = nullptr;
    decltype(&::socket) open = nullptr;
    decltype(&::connect) connect = nullptr;
    decltype(&::select) select = nullptr;
    decltype(&::ioctlsocket) control = nullptr;
    decltype(&::setsockopt) setOption = nullptr;
    decltype(&::getsockopt) getOption = nullptr;
    decltype(&::send) send = nullptr;
    decltype(&::recv) receive = nullptr;
    decltype(&::closesocket) close = nullptr;
    decltype(&::WSAGetLastError) lastError = nullptr;
    bool started = false;
};

const Sockets* LoadSockets() {
    static const Sockets sockets = [] {
        Sockets s;
        HMODULE module = LoadSystemLibraryForProcess(L"ws2_32.dll");
        s.startup = LibraryFunction<decltype(s.startup)>(module, "WSAStartup");
        s.resolve = LibraryFunction<decltype(s.resolve)>(module, "getaddrinfo");
        s.freeResolved = LibraryFunction<decltype(s.freeResolved)>(module, "freeaddrinfo");
        s.open = LibraryFunction<decltype(s.open)>(module, "socket");
        s.connect = LibraryFunction<decltype(s.connect)>(module, "connect");
        s.select = LibraryFunction<decltype(s.select)>(module, "select");
        s.control = LibraryFunction<decltype(s.control)>(module, "ioctlsocket");
        s.setOption = LibraryFunction<decltype(s.setOption)>(module, "setsockopt");
        s.getOption = LibraryFunction<decltype(s.getOption)>(module, "getsockopt");
        s.send = LibraryFunction<decltype(s.send)>(module, "send");
        s.receive = LibraryFunction<decltype(s.receive)>(module, "recv");
        s.close = LibraryFunction<decltype(s.close)>(module, "closesocket");
        s.lastError = LibraryFunction<decltype(s.lastError)>(module, "WSAGetLastError");
        WSADATA data{};
        s.started = s.startup && s.resolve && s.freeResolved && s.open && s.connect && s.select && s.control &&
                    s.setOption && s.getOption && s.send && s.receive && s.close && s.lastError &&
                    s.startup(MAKEWORD(2, 2), &data) == 0;
        return s;
    }();
    return sockets.started ? &sockets : nullptr;
}

class Connection {
public:
    explicit Connection(const Sockets& api) : m_api(api) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        if (m_socket != INVALID_SOCKET) m_api.close(m_socket);
    }
    SOCKET socket() const { return m_socket; }
    void reset(SOCKET socket) { m_socket = socket; }

private:
    const Sockets& m_api;
    SOCKET m_socket = INVALID_SOCKET;
};

Win32Status LastError(const Sockets& api) {
    int code = api.lastError();
    return Win32Status(code != 0 ? std::uint32_t(code) : Win32Status::kGeneralFailure);
}

// A non-blocking connect waited for with select, so that an address that
// drops the connection attempt costs the time-out and no more.
Win32Status ConnectWithin(const Sockets& api, SOCKET s, const addrinfo& target, std::uint32_t timeoutMs) {
    u_long nonBlocking = 1;
    if (api.control(s, FIONBIO, &nonBlocking) != 0) return LastError(api);
    if (api.connect(s, target.ai_addr, int(target.ai_addrlen)) != 0 && api.lastError() != WSAEWOULDBLOCK) {
        return LastError(api);
    }
    fd_set writable{};
    writable.fd_count = 1;
    writable.fd_array[0] = s;
    fd_set failed = writable;
    timeval wait{long(timeoutMs / 1000), long(timeoutMs % 1000) * 1000};
    int ready = api.select(0, nullptr, &writable, &failed, &wait);
    if (ready == 0) return Win32Status(WSAETIMEDOUT);
    if (ready < 0) return LastError(api);
    int error = 0;
    int size = sizeof(error);
    if (api.getOption(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) return LastError(api);
    if (error != 0) return Win32Status(std::uint32_t(error));
    u_long blocking = 0;
    return api.control(s, FIONBIO, &blocking) == 0 ? Win32Status() : LastError(api);
}

Win32Status SendAll(const Sockets& api, SOCKET s, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        int n = api.send(s, text.data() + sent, int(text.size() - sent), 0);
        if (n <= 0) return LastError(api);
        sent += std::size_t(n);
    }
    return {};
}

// Reads until the server closes the connection; keeps the head of the answer.
Win32Result<std::string> ReceiveAnswer(const Sockets& api, SOCKET s) {
    std::string head;
    char buffer[1024];
    for (;;) {
        int n = api.receive(s, buffer, sizeof(buffer), 0);
        if (n == 0) return head;
        if (n < 0) return LastError(api);
        if (head.size() < kMaxAnswerHead) head.append(buffer, std::size_t(n));
    }
}

}  // namespace

Win32Result<int> SendOverSocket(const HttpRequest& request) {
    const Sockets* api = LoadSockets();
    if (api == nullptr) return Win32Status(ERROR_MOD_NOT_FOUND);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string port = std::to_string(request.address.port);
    if (int code = api->resolve(request.address.host.c_str(), port.c_str(), &hints, &found); code != 0) {
        return Win32Status(std::uint32_t(code));
    }
    Connection connection(*api);
    Win32Status status(WSAEHOSTUNREACH);
    for (addrinfo* target = found; target != nullptr; target = target->ai_next) {
        connection.reset(api->open(target->ai_family, target->ai_socktype, target->ai_protocol));
        if (connection.socket() == INVALID_SOCKET) continue;
        status = ConnectWithin(*api, connection.socket(), *target, request.timeoutMs);
        if (status.ok()) break;
        api->close(connection.socket());
        connection.reset(INVALID_SOCKET);
    }
    api->freeResolved(found);
    if (status.failed()) return status;
    DWORD timeout = request.timeoutMs;
    api->setOption(connection.socket(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    api->setOption(connection.socket(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    if (Win32Status sent = SendAll(*api, connection.socket(), HttpRequestText(request)); sent.failed()) return sent;
    Win32Result<std::string> answer = ReceiveAnswer(*api, connection.socket());
    if (!answer.ok()) return answer.status();
    std::optional<int> code = HttpStatusCode(*answer);
    if (!code) return Win32Status(ERROR_INVALID_DATA);
    return *code;
}

}  // namespace palisade
