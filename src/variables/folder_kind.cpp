// The normalisation of a FolderKind to the views the running system has.
#include "variables/folder_kind.h"

namespace palisade {

FolderKind NormaliseFolderKind(FolderKind kind, bool windowsIs64Bit) {
    if (!windowsIs64Bit) return FolderKind::Native;
    switch (kind) {
        case FolderKind::View64:
        case FolderKind::View64Alias: return FolderKind::View64;
        default: return FolderKind::Native;
    }
}

}  // namespace palisade
