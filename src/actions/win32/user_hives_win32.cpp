// Finding and opening every user's hive; the default profile's hive file is
// loaded under HKEY_USERS and unloaded again when the step ends.
#include "actions/win32/user_hives_win32.h"

#include <sddl.h>

#include "core/text.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr wchar_t kDefaultHiveName[] = L"Palisade Default Profile";

std::u16string CurrentUserSid() {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return u"";
    UniqueHandle token(rawToken);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return u"";
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return u"";
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return u"";
    std::u16string sid = FromWide(text);
    ::LocalFree(text);
    return sid;
}

// A person's profile: an account SID, not a service's and not the classes part.
bool IsPersonsProfile(std::u16string_view name) {
    if (!StartsWithIgnoreCase(name, u"S-1-5-21-")) return false;
    constexpr std::u16string_view kClasses = u"_Classes";
    return !(name.size() > kClasses.size() &&
             EqualsIgnoreCase(name.substr(name.size() - kClasses.size()), kClasses));
}

void EnablePrivilege(HANDLE token, const wchar_t* name) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
        ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
}

// "<default profile folder>\NTUSER.DAT", from the profile list; empty when unknown.
std::wstring DefaultProfileHiveFile() {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                        KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) {
        return L"";
    }
    UniqueHkey key(raw);
    wchar_t folder[MAX_PATH] = {};
    DWORD bytes = sizeof(folder) - sizeof(wchar_t);
    if (::RegQueryValueExW(key.get(), L"Default", nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &bytes) !=
        ERROR_SUCCESS) {
        return L"";
    }
    wchar_t expanded[MAX_PATH] = {};
    DWORD length = ::ExpandEnvironmentStringsW(folder, expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return L"";
    return std::wstring(expanded) + L"\\NTUSER.DAT";
}

}  // namespace

UserHives::UserHives() {
    m_hives.push_back({HKEY_CURRENT_USER, u"\\HKCU"});
    AddLoadedProfiles();
    LoadDefaultProfile();
}

UserHives::~UserHives() {
    for (HKEY key : m_opened) ::RegCloseKey(key);
    if (m_defaultLoaded) ::RegUnLoadKeyW(HKEY_USERS, kDefaultHiveName);
}

void UserHives::AddLoadedProfiles() {
    std::u16string ownSid = CurrentUserSid();
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        LSTATUS status = ::RegEnumKeyExW(HKEY_USERS, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        std::u16string sid = FromWide(std::wstring_view(name, length));
        if (!IsPersonsProfile(sid) || EqualsIgnoreCase(sid, ownSid)) continue;
        HKEY hive = nullptr;
        if (::RegOpenKeyExW(HKEY_USERS, name, 0, KEY_READ | KEY_WRITE, &hive) != ERROR_SUCCESS) continue;
        m_opened.push_back(hive);
        m_hives.push_back({hive, u"\\HKU\\" + sid});
    }
}

void UserHives::LoadDefaultProfile() {
    std::wstring file = DefaultProfileHiveFile();
    if (file.empty() || ::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    HANDLE rawToken = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken)) {
        UniqueHandle token(rawToken);
        EnablePrivilege(token.get(), SE_RESTORE_NAME);
        EnablePrivilege(token.get(), SE_BACKUP_NAME);
    }
    ::RegUnLoadKeyW(HKEY_USERS, kDefaultHiveName);  // left over by a run that ended abruptly
    if (::RegLoadKeyW(HKEY_USERS, kDefaultHiveName, file.c_str()) != ERROR_SUCCESS) return;
    m_defaultLoaded = true;
    HKEY hive = nullptr;
    if (::RegOpenKeyExW(HKEY_USERS, kDefaultHiveName, 0, KEY_READ | KEY_WRITE, &hive) != ERROR_SUCCESS) return;
    m_opened.push_back(hive);
    m_hives.push_back({hive, u"\\HKU\\" + FromWide(kDefaultHiveName)});
}

}  // namespace palisade
