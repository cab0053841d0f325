// The current-user part of every user profile ("HKAU"): the running user's
// hive, the other loaded profiles under HKEY_USERS, and the default profile
// that new accounts are copied from, loaded for the time of one step.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/win32/unique_handle.h"

namespace palisade {

struct UserHive {
    HKEY root = nullptr;     // not owned by the caller
    std::u16string notation;  // "\HKCU" or "\HKU\<name>", for messages
};

class UserHives {
public:
    UserHives();
    UserHives(const UserHives&) = delete;
    UserHives& operator=(const UserHives&) = delete;

    // The running user's hive first. Profiles that cannot be reached are left
    // out: they belong to nobody who could miss the entry right now.
    const std::vector<UserHive>& Hives() const { return m_hives; }

private:
    void AddLoadedProfiles();
    void LoadDefaultProfile();

    std::vector<UserHive> m_hives;
    // Declared before the opened keys: the default hive is unloaded only after
    // its key is closed.
    struct LoadedHive {
        bool loaded = false;
        ~LoadedHive();
    } m_defaultHive;
    std::vector<UniqueHkey> m_opened;
};

}  // namespace palisade
