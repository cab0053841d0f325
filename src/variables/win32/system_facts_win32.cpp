// SystemFacts answered by the running Windows system: shell folders, known
// folders, registry, environment and file-system queries.
#include "variables/win32/system_facts_win32.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/registry.h"
#include "core/win32/sized_text.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"
#include "variables/win32/os_version_win32.h"

namespace palisade {
namespace {

using SHGetSpecialFolderPathFunction = BOOL(WINAPI*)(HWND, LPWSTR, int, BOOL);
using SHGetKnownFolderPathFunction = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);

// The environment pass's buffer: 32,000 characters, the last one forced to zero.
constexpr DWORD kExpansionBuffer = 32000;

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
        m_shell32 = LoadSystemLibrary(L"shell32.dll").value_or(UniqueHmodule());
    }
    return m_shell32.get();
}

std::u16string Win32SystemFacts::SpecialFolder(int csidl) {
    HMODULE shell32 = Shell32();
    if (shell32 == nullptr) return {};
    auto getPath = LibraryFunction<SHGetSpecialFolderPathFunction>(shell32, "SHGetSpecialFolderPathW");
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
    auto getPath = LibraryFunction<SHGetKnownFolderPathFunction>(shell32, "SHGetKnownFolderPath");
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
    return ReadRegistryText(hive, key, valueName).ToOptional();
}

std::u16string Win32SystemFacts::EnvironmentVariable(std::u16string_view name) {
    const std::wstring wideName = ToWide(name);
    return QuerySizedText([&](wchar_t* buffer, DWORD size) {
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
    return QuerySizedText([](wchar_t* buffer, DWORD size) { return DWORD(::GetWindowsDirectoryW(buffer, size)); });
}

std::u16string Win32SystemFacts::SystemFolder() { return SystemFolderPath(); }

std::u16string Win32SystemFacts::TempPath() { return TempFolderPath(); }

bool Win32SystemFacts::FolderExists(std::u16string_view path) { return palisade::FolderExists(path); }

bool Win32SystemFacts::CreateFolder(std::u16string_view path) {
    return ::CreateDirectoryW(ToWide(path).c_str(), nullptr) != 0;
}

DriveKind Win32SystemFacts::DriveType(std::u16string_view root) {
    return DriveKind(::GetDriveTypeW(ToWide(root).c_str()));
}

std::u16string Win32SystemFacts::ModulePath() { return OwnModulePath(); }

const OsVersionInfo& Win32SystemFacts::OsVersion() { return CurrentOsVersion(); }

Win32SystemFacts& ProcessSystemFacts() {
    static Win32SystemFacts facts;
    return facts;
}

}  // namespace palisade
