// Finding and opening every user's hive; the default profile's hive file is
// loaded under HKEY_USERS and unloaded again when the step ends.
#include "actions/win32/user_hives_win32.h"

#include <sddl.h>

#include "core/text.h"
#include "core/win32/privileges.h"
#include "core/win32/registry.h"
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
    UniqueLocal owned(text);
    return FromWide(text);
}

// A person's profile: an account SID, not a service's and not the classes part.
bool IsPersonsProfile(std::u16string_view name) {
    if (!StartsWithIgnoreCase(name, u"S-1-5-21-")) return false;
    constexpr std::u16string_view kClasses = u"_Classes";
    return !(name.size() > kClasses.size() &&
             EqualsIgnoreCase(name.substr(name.size() - kClasses.size()), kClasses));
}

// "<default profile folder>\NTUSER.DAT", from the profile list; empty when unknown.
std::wstring DefaultProfileHiveFile() {
    Win32Result<std::u16string> folder = ReadRegistryText(
        HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", u"Default");
    if (!folder.ok()) return L"";
    wchar_t expanded[MAX_PATH] = {};
    DWORD length = ::ExpandEnvironmentStringsW(ToWide(*folder).c_str(), expanded, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return L"";
    return std::wstring(expanded) + L"\\NTUSER.DAT";
}

}  // namespace

UserHives::UserHives() {
    m_hives.push_back({HKEY_CURRENT_USER, u"\\HKCU"});
    AddLoadedProfiles();
    LoadDefaultProfile();
}

UserHives::LoadedHive::~LoadedHive() {
    if (loaded) ::RegUnLoadKeyW(HKEY_USERS, kDefaultHiveName);
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
        Win32Result<UniqueHkey> hive = TryOpenKey(HKEY_USERS, sid, KEY_READ | KEY_WRITE);
        if (!hive.ok()) continue;
        m_hives.push_back({hive->get(), u"\\HKU\\" + sid});
        m_opened.push_back(std::move(*hive));
    }
}

void UserHives::LoadDefaultProfile() {
    std::wstring file = DefaultProfileHiveFile();
    if (file.empty() || ::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // Without them the load below fails and the default profile is left out.
    (void)EnablePrivilege(SE_RESTORE_NAME);
    (void)EnablePrivilege(SE_BACKUP_NAME);
    ::RegUnLoadKeyW(HKEY_USERS, kDefaultHiveName);  // left over by a run that ended abruptly
    if (::RegLoadKeyW(HKEY_USERS, kDefaultHiveName, file.c_str()) != ERROR_SUCCESS) return;
    m_defaultHive.loaded = true;
    Win32Result<UniqueHkey> hive = TryOpenKey(HKEY_USERS, FromWide(kDefaultHiveName), KEY_READ | KEY_WRITE);
    if (!hive.ok()) return;
    m_hives.push_back({hive->get(), u"\\HKU\\" + FromWide(kDefaultHiveName)});
    m_opened.push_back(std::move(*hive));
}

}  // namespace palisade
