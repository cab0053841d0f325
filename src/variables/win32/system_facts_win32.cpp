// SystemFacts answered by the running Windows system: shell folders, known
// folders, registry, environment and file-system queries.
#include "variables/win32/system_facts_win32.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/win32/wide.h"
#include "variables/win32/os_version_win32.h"
#include "variables/win32/registry_text.h"

namespace palisade {
namespace {

using SHGetSpecialFolderPathFunction = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);
using SHGetKnownFolderPathFunction = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);

// The environment pass's buffer: 32,000 characters, the last one forced to zero.
constexpr DWORD kExpansionBuffer = 32000;

// Calls a Win32 "fill this buffer" function until the buffer is large enough.
// `call(buffer, size)` returns the length written, or the size needed when the
// buffer was too small, or 0 on failure.
template <typename Call>
std::u16string ReadSizedText(Call call, DWORD initialSize = MAX_PATH + 1) {
    std::vector<wchar_t> buffer(initialSize);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = call(buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return FromWide(std::wstring_view(buffer.data(), length));
        buffer.resize(std::max<std::size_t>(length + 1, buffer.size() * 2));
    }
    return {};
}

GUID ToGuid(const FolderGuid& id) {
    GUID guid;
    guid.Data1 = id.data1;
    guid.Data2 = id.data2;
    guid.Data3 = id.data3;
    std::memcpy(guid.Data4, id.data4, sizeof(guid.Data4));
    return guid;
}

}  // namespace

HMODULE Win32SystemFacts::Shell32() {
    if (!m_shell32Tried) {
        m_shell32Tried = true;
        m_shell32.reset(::LoadLibraryW(L"shell32.dll"));
    }
    return m_shell32.get();
}

std::u16string Win32SystemFacts::SpecialFolder(int csidl) {
    HMODULE shell32 = Shell32();
    if (shell32 == nullptr) return {};
    auto getPath = reinterpret_cast<SHGetSpecialFolderPathFunction>(
        reinterpret_cast<void*>(::GetProcAddress(shell32, "SHGetSpecialFolderPathW")));
    if (getPath == nullptr) return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!getPath(nullptr, buffer, csidl, FALSE)) return {};
    buffer[MAX_PATH] = L'\0';
    return FromWide(buffer);
}

KnownFolderAnswer Win32SystemFacts::QueryKnownFolder(const FolderGuid& id) {
    KnownFolderAnswer answer;
    HMODULE shell32 = Shell32();
    if (shell32 == nullptr) return answer;
    auto getPath = reinterpret_cast<SHGetKnownFolderPathFunction>(
        reinterpret_cast<void*>(::GetProcAddress(shell32, "SHGetKnownFolderPath")));
    if (getPath == nullptr) return answer;
    answer.available = true;
    PWSTR path = nullptr;
    answer.result = getPath(ToGuid(id), 0, nullptr, &path);
    if (SUCCEEDED(answer.result) && path != nullptr) answer.path = FromWide(path);
    // The memory is the caller's whether the call succeeded or not.
    ::CoTaskMemFree(path);
    return answer;
}

std::u16string Win32SystemFacts::KnownFolder(const FolderGuid& id) { return QueryKnownFolder(id).path; }

std::optional<std::u16string> Win32SystemFacts::RegistryText(RegistryRoot root, std::u16string_view key,
                                                             std::u16string_view valueName) {
    HKEY hive = root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    return ReadRegistryText(hive, key, valueName);
}

std::u16string Win32SystemFacts::EnvironmentVariable(std::u16string_view name) {
    const std::wstring wideName = ToWide(name);
    return ReadSizedText([&](wchar_t* buffer, DWORD size) {
        return ::GetEnvironmentVariableW(wideName.c_str(), buffer, size);
    });
}

std::optional<std::u16string> Win32SystemFacts::ExpandEnvironment(std::u16string_view text) {
    const std::wstring source = ToWide(text);
    std::vector<wchar_t> buffer(kExpansionBuffer);
    DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), buffer.data(), kExpansionBuffer);
    if (needed == 0) return std::nullopt;
    if (needed > kExpansionBuffer) {
        // What the 32,000-character buffer would hold is the start of the
        // whole expansion; take the whole one and let the caller cut it.
        buffer.assign(needed, L'\0');
        DWORD again = ::ExpandEnvironmentStringsW(source.c_str(), buffer.data(), needed);
        if (again == 0 || again > needed) return std::nullopt;
    }
    buffer.back() = L'\0';
    return FromWide(buffer.data());
}

std::u16string Win32SystemFacts::WindowsFolder() {
    return ReadSizedText([](wchar_t* buffer, DWORD size) { return ::GetWindowsDirectoryW(buffer, size); });
}

std::u16string Win32SystemFacts::SystemFolder() {
    return ReadSizedText([](wchar_t* buffer, DWORD size) { return ::GetSystemDirectoryW(buffer, size); });
}

std::u16string Win32SystemFacts::TempPath() {
    return ReadSizedText([](wchar_t* buffer, DWORD size) { return ::GetTempPathW(size, buffer); });
}

bool Win32SystemFacts::FolderExists(std::u16string_view path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32SystemFacts::CreateFolder(std::u16string_view path) {
    return ::CreateDirectoryW(ToWide(path).c_str(), nullptr) != 0;
}

DriveKind Win32SystemFacts::DriveType(std::u16string_view root) {
    return DriveKind(::GetDriveTypeW(ToWide(root).c_str()));
}

std::u16string Win32SystemFacts::ModulePath() {
    // GetModuleFileNameW returns the buffer size (not the size needed) when it
    // truncates; ReadSizedText then grows the buffer and asks again.
    return ReadSizedText([](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
}

const OsVersionInfo& Win32SystemFacts::OsVersion() { return CurrentOsVersion(); }

Win32SystemFacts& ProcessSystemFacts() {
    static Win32SystemFacts facts;
    return facts;
}

}  // namespace palisade
