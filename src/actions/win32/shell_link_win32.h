// Shell links (.lnk files) through IShellLinkW and IPersistFile: writing one
// for the shortcut step and reading one back for checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace palisade {

struct ShellLinkFields {
    std::u16string target;
    std::u16string arguments;
    std::u16string startIn;
    std::u16string description;
    std::u16string iconFile;  // empty: the shell-link default
    int iconIndex = 0;
    int showCommand = 0;  // 0: the shell-link default
};

// Writes `fields` to `path` (replacing an existing file). Returns the COM
// result; COM must be initialised on this thread. Not guarded: callers wrap
// it in RunGuarded.
std::int32_t SaveShellLink(const ShellLinkFields& fields, const std::u16string& path);

// The fields of an existing link; nullopt when it cannot be loaded.
std::optional<ShellLinkFields> ReadShellLink(const std::u16string& path);

}  // namespace palisade
