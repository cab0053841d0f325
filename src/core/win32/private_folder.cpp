// A folder of this run's own under the temporary folder.
#include "core/win32/private_folder.h"

#include <windows.h>
#include <sddl.h>

#include "core/text.h"
#include "core/win32/known_paths.h"
#include "core/win32/system_library.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr int kNameAttempts = 8;

std::uint64_t RandomNumber() {
    // RtlGenRandom, exported by advapi32 (which every process here has loaded).
    using GenRandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);
    static auto generate = LibraryFunction<GenRandomFunction>(::GetModuleHandleW(L"advapi32.dll"), "SystemFunction036");
    std::uint64_t value = 0;
    if (generate == nullptr || !generate(&value, sizeof(value))) {
        LARGE_INTEGER counter{};
        ::QueryPerformanceCounter(&counter);
        value = std::uint64_t(counter.QuadPart) ^ (std::uint64_t(::GetCurrentProcessId()) << 32) ^ ::GetTickCount();
    }
    return value;
}

bool ProcessIsElevated() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
    UniqueHandle token(rawToken);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

// Administrators and the system, nothing inherited from the temporary
// folder; the running user instead of the administrators when the run is
// not elevated (there is then no higher right to protect).
std::wstring FolderSecurity() {
    if (ProcessIsElevated()) return L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
    HANDLE rawToken = nullptr;
    std::wstring user = L"CO";  // the creator-owner, should the user's SID be out of reach
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        UniqueHandle token(rawToken);
        BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
        DWORD size = 0;
        wchar_t* text = nullptr;
        if (::GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &size) &&
            ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
            UniqueLocal owned(text);
            user = text;
        }
    }
    return L"D:P(A;OICI;FA;;;" + user + L")(A;OICI;FA;;;SY)";
}

}  // namespace

Win32Result<PrivateFolder> PrivateFolder::Create() {
    std::u16string temp = TempFolderPath();
    if (temp.empty()) return Win32Status(ERROR_PATH_NOT_FOUND);
    if (temp.back() != u'\\') temp += u'\\';
    PSECURITY_DESCRIPTOR rawDescriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(FolderSecurity().c_str(), SDDL_REVISION_1,
                                                                &rawDescriptor, nullptr)) {
        return Win32Status::FromLastError();
    }
    UniqueLocal descriptor(rawDescriptor);
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), rawDescriptor, FALSE};
    Win32Status failure;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::u16string path = temp + u"Palisade-" + ToU16Hex(RandomNumber(), 16);
        if (::CreateDirectoryW(ToWide(path).c_str(), &attributes)) return PrivateFolder(std::move(path));
        failure = Win32Status::FromLastError();
        // A folder of that name already there is not ours: never use it.
        if (failure.code() != ERROR_ALREADY_EXISTS) break;
    }
    return failure;
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : m_path(std::move(other.m_path)), m_kept(std::exchange(other.m_kept, true)) {}

PrivateFolder::~PrivateFolder() {
    if (m_kept || m_path.empty()) return;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(ToWide(m_path + u"\\*").c_str(), &found));
    if (search) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                ::DeleteFileW(ToWide(m_path + u"\\" + FromWide(found.cFileName)).c_str());
            }
        } while (::FindNextFileW(search.get(), &found));
    }
    search.reset();
    ::RemoveDirectoryW(ToWide(m_path).c_str());
}

}  // namespace palisade
