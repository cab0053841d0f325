// The paths every part of the program asks the system for: the running
// module, the system folder and the Windows folder.
#pragma once

#include <string>
#include <string_view>

namespace palisade {

// The full path of the running executable (no length limit).
std::u16string OwnModulePath();

// The system folder (System32, or SysWOW64 for this 32-bit program on a
// 64-bit system), without a trailing backslash; empty when the system does
// not say.
std::u16string SystemFolderPath();

// `fileName` in the system folder: how system programs and libraries are
// named, so that nothing beside the installer is ever taken for them.
std::u16string SystemFilePath(std::u16string_view fileName);

// The user's temporary folder as the system gives it (with its trailing backslash).
std::u16string TempFolderPath();

// The Windows folder, without a trailing backslash.
std::u16string WindowsFolderPath();

}  // namespace palisade
