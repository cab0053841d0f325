// The predefined registry key of each root an author's registry line names.
#include "actions/win32/registry_roots_win32.h"

namespace palisade {

HKEY KeyRootHandle(KeyRoot root) {
    switch (root) {
        case KeyRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case KeyRoot::CurrentUser: return HKEY_CURRENT_USER;
        case KeyRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case KeyRoot::Users: return HKEY_USERS;
        case KeyRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
        case KeyRoot::DynData: return HKEY_DYN_DATA;
        case KeyRoot::AllUsers: return HKEY_CURRENT_USER;
    }
    return HKEY_LOCAL_MACHINE;
}

}  // namespace palisade
