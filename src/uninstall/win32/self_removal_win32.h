// Writes delunins.bat into the temporary folder and
// starts it hidden, without waiting, so that it removes the uninstaller and
// its folders once this process has ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// `installFolder` and `uninstallSubdir` come from the product's entry; the
// uninstaller is the running program; `parentFolders` are the folders the
// installation made above the installation folder, deepest first. Failures
// are ignored: nothing can be reported once the uninstallation has finished.
void WriteSelfRemovalScript(std::u16string_view installFolder, std::u16string_view uninstallSubdir,
                            std::u16string_view recordedUninstaller, std::vector<std::u16string> parentFolders);

}  // namespace palisade
