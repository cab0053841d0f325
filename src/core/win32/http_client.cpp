// Sends one HTTP request through WinHTTP, loaded from the system folder.
#include "core/win32/http_client.h"

#include <windows.h>
#include <winhttp.h>

#include "core/text.h"
#include "core/win32/socket_http.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

struct WinHttp {
    decltype(&::WinHttpOpen) open = nullptr;
    decltype(&::WinHttpConnect) connect = nullptr;
    decltype(&::WinHttpOpenRequest) openRequest = nullptr;
    decltype(&::WinHttpSetTimeouts) setTimeouts = nullptr;
    decltype(&::WinHttpSetOption) setOption = nullptr;
    decltype(&::WinHttpSendRequest) sendRequest = nullptr;
    decltype(&::WinHttpReceiveResponse) receiveResponse = nullptr;
    decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
    decltype(&::WinHttpReadData) readData = nullptr;
    decltype(&::WinHttpCloseHandle) closeHandle = nullptr;

    bool Complete() const {
        return open && connect && openRequest && setTimeouts && setOption && sendRequest && receiveResponse && queryHeaders &&
               readData && closeHandle;
    }
};

// Loaded once and kept: the worker thread and the crash report share it.
const WinHttp* LoadWinHttp() {
    static const WinHttp functions = [] {
        WinHttp f;
        HMODULE module = LoadSystemLibraryForProcess(L"winhttp.dll");
        f.open = LibraryFunction<decltype(f.open)>(module, "WinHttpOpen");
        f.connect = LibraryFunction<decltype(f.connect)>(module, "WinHttpConnect");
        f.openRequest = LibraryFunction<decltype(f.openRequest)>(module, "WinHttpOpenRequest");
        f.setTimeouts = LibraryFunction<decltype(f.setTimeouts)>(module, "WinHttpSetTimeouts");
        f.setOption = LibraryFunction<decltype(f.setOption)>(module, "WinHttpSetOption");
        f.sendRequest = LibraryFunction<decltype(f.sendRequest)>(module, "WinHttpSendRequest");
        f.receiveResponse = LibraryFunction<decltype(f.receiveResponse)>(module, "WinHttpReceiveResponse");
        f.queryHeaders = LibraryFunction<decltype(f.queryHeaders)>(module, "WinHttpQueryHeaders");
        f.readData = LibraryFunction<decltype(f.readData)>(module, "WinHttpReadData");
        f.closeHandle = LibraryFunction<decltype(f.closeHandle)>(module, "WinHttpCloseHandle");
        return f;
    }();
    return functions.Complete() ? &functions : nullptr;
}

// A WinHTTP handle, closed with the library's own function.
class HttpHandle {
public:
    HttpHandle(const WinHttp& api, HINTERNET handle) : m_api(api), m_handle(handle) {}
    HttpHandle(const HttpHandle&) = delete;
    HttpHandle& operator=(const HttpHandle&) = delete;
    ~HttpHandle() {
        if (m_handle) m_api.closeHandle(m_handle);
    }
    HINTERNET get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    const WinHttp& m_api;
    HINTERNET m_handle;
};

Win32Result<int> ReadAnswer(const WinHttp& api, HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!api.queryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                          &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return Win32Status::FromLastError();
    }
    // The answer's body is read and dropped, so the server sees a whole exchange.
    char buffer[4096];
    DWORD read = 0;
    while (api.readData(request, buffer, sizeof(buffer), &read) && read != 0) {
    }
    return int(status);
}

Win32Result<int> Exchange(const WinHttp& api, HINTERNET session, const HttpRequest& request) {
    HttpHandle connection(api, api.connect(session, ToWide(Utf8ToUtf16(request.address.host)).c_str(),
                                           request.address.port, 0));
    if (!connection) return Win32Status::FromLastError();
    HttpHandle handle(api, api.openRequest(connection.get(), request.post ? L"POST" : L"GET",
                                           ToWide(Utf8ToUtf16(request.address.path)).c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           request.address.https ? WINHTTP_FLAG_SECURE : 0));
    if (!handle) return Win32Status::FromLastError();
    int timeout = int(request.timeoutMs);
    if (!api.setTimeouts(handle.get(), timeout, timeout, timeout, timeout)) return Win32Status::FromLastError();
    // No connection is kept for later: every request is a one-off, and a
    // kept connection gets a collector thread that Wine's WinHTTP does not
    // end cleanly under an emulator.
    DWORD noKeepAlive = WINHTTP_DISABLE_KEEP_ALIVE;
    (void)api.setOption(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noKeepAlive, sizeof(noKeepAlive));
    std::wstring headers = ToWide(Utf8ToUtf16(request.headers));
    DWORD length = DWORD(request.body.size());
    if (!api.sendRequest(handle.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                         DWORD(headers.size()), const_cast<char*>(request.body.data()), length, length, 0)) {
        return Win32Status::FromLastError();
    }
    if (!api.receiveResponse(handle.get(), nullptr)) return Win32Status::FromLastError();
    return ReadAnswer(api, handle.get());
}

}  // namespace

Win32Result<int> SendHttpRequest(const HttpRequest& request) {
    if (!request.address.https) return SendOverSocket(request);
    const WinHttp* api = LoadWinHttp();
    if (api == nullptr) return Win32Status(ERROR_MOD_NOT_FOUND);
    // One session for the process, created on first use and never closed:
    // the process ends while it may still be in use by the worker, and
    // closing a session is what Wine's WinHTTP does not survive under an
    // emulator. The proxy is the one the system's WinHTTP settings name.
    static HINTERNET session = api->open(ToWide(Utf8ToUtf16(kHttpUserAgent)).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (session == nullptr) return Win32Status(ERROR_INVALID_HANDLE);
    return Exchange(*api, session, request);
}

}  // namespace palisade
