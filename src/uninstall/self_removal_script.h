// The text of delunins.bat, the script that removes the uninstaller and its
// folders once the uninstaller process has ended, and then itself.
#pragma once

#include <string>
#include <vector>
#include <string_view>

namespace palisade {

inline constexpr char16_t kSelfRemovalScriptName[] = u"delunins.bat";

// At most this many parent levels of the uninstall sub-folder get an rd line.
inline constexpr int kMaxSelfRemovalLevels = 50;

// How often the script tries to delete the uninstaller, one second apart,
// before it gives up (the uninstaller is then left for the user).
inline constexpr int kSelfRemovalTries = 30;

struct SelfRemovalPaths {
    std::u16string uninstaller;      // the registered uninstaller's full path
    std::u16string installFolder;    // the installation folder
    std::u16string uninstallSubdir;  // relative to the installation folder; may be empty
    std::u16string script;           // where the script itself is written
    // False when the registered uninstaller does not lie in the product's
    // uninstall data folder: nothing outside it is deleted.
    bool removeUninstaller = true;
    // Folders the installation made above the installation folder, deepest
    // first; rd leaves any that still hold something.
    std::vector<std::u16string> parentFolders = {};
};

// The script as wide text: the Repeat loop deleting the uninstaller until it
// is gone (at most kSelfRemovalTries times), a pause of about three seconds,
// an rd line for the uninstall sub-folder and each of its parents (inside the
// installation folder), one for the installation folder and each of its
// recorded parents, the deletion of the
// script itself and of the folder that holds it.
std::u16string SelfRemovalScriptText(const SelfRemovalPaths& paths);

// The bytes written: the code-page line, then the text in that code page
// (UTF-8 only when allowed and needed), as the batch runner encodes its files.
std::string SelfRemovalScriptBytes(const SelfRemovalPaths& paths, bool utf8Allowed);

}  // namespace palisade
