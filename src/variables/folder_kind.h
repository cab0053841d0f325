// Which Program Files view a folder request means (FolderKind) and how a
// request is mapped onto what the running system has.
#pragma once

namespace palisade {

enum class FolderKind : int {
    View32 = 1,      // the 32-bit view
    View64 = 2,      // the 64-bit view
    Native = 3,      // the native view of this 32-bit process
    View64Alias = 4, // treated as View64
};

// On 64-bit Windows 4 becomes 2 and 1 becomes 3 (a 32-bit process's native
// view is the x86 folder); on 32-bit Windows every kind becomes 3. Values
// outside 1..4 are taken as the native view.
FolderKind NormaliseFolderKind(FolderKind kind, bool windowsIs64Bit);

}  // namespace palisade
