// The text of delunins.bat, the script that removes the uninstaller and its
// folders once the uninstaller process has ended, and then itself.
#pragma once

#include <string>
#include <string_view>

namespace palisade {

inline constexpr char16_t kSelfRemovalScriptName[] = u"delunins.bat";

// At most this many parent levels of the uninstall sub-folder get an rd line.
inline constexpr int kMaxSelfRemovalLevels = 50;

struct SelfRemovalPaths {
    std::u16string uninstaller;      // the uninstaller's own full path
    std::u16string installFolder;    // the installation folder
    std::u16string uninstallSubdir;  // relative to the installation folder; may be empty
    std::u16string script;           // where the script itself is written
};

// The script as wide text: the Repeat loop deleting the uninstaller until it
// is gone, a pause of about three seconds, an rd line for the uninstall
// sub-folder and each of its parents (inside the installation folder), one
// for the installation folder, and the deletion of the script itself.
std::u16string SelfRemovalScriptText(const SelfRemovalPaths& paths);

// The bytes written: the code-page line, then the text in that code page
// (UTF-8 only when allowed and needed), as the batch runner encodes its files.
std::string SelfRemovalScriptBytes(const SelfRemovalPaths& paths, bool utf8Allowed);

}  // namespace palisade
