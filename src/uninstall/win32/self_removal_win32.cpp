// Writes and starts delunins.bat.
#include "uninstall/win32/self_removal_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "actions/file_destination.h"
#include "core/text.h"
#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/private_folder.h"
#include "core/win32/process.h"
#include "core/win32/wide.h"
#include "uninstall/self_removal_script.h"
#include "variables/batch_text.h"
#include "variables/folder_lookup.h"
#include "variables/win32/run_batch_win32.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade {
namespace {

void StartHidden(const std::u16string& interpreter, const std::u16string& script) {
    ProcessRequest request;
    request.program = interpreter;
    request.commandLine = u"/c " + ShortPathOf(script);
    request.hidden = true;
    request.creationFlags = CREATE_NEW_CONSOLE;
    if (StartProcess(request).ok()) return;
    ::ShellExecuteW(nullptr, L"open", ToWide(script).c_str(), nullptr, nullptr, SW_HIDE);
}

}  // namespace

void WriteSelfRemovalScript(std::u16string_view installFolder, std::u16string_view uninstallSubdir,
                            std::u16string_view recordedUninstaller, std::vector<std::u16string> parentFolders) {
    Win32SystemFacts& facts = ProcessSystemFacts();
    // The script runs with the uninstaller's rights after it has ended: it is
    // written into a folder of its own that no other process may change, and
    // removes that folder last.
    Win32Result<PrivateFolder> folder = PrivateFolder::Create();
    if (!folder.ok()) return;
    SelfRemovalPaths paths;
    paths.installFolder = std::u16string(installFolder);
    paths.uninstallSubdir = std::u16string(uninstallSubdir);
    paths.script = folder->File(kSelfRemovalScriptName);
    paths.parentFolders = std::move(parentFolders);
    // The uninstaller the installation registered is removed (also when a
    // copy of it runs from somewhere else, which stays), and only when it
    // lies in the product's uninstall data folder.
    std::u16string dataFolder = JoinFolder(installFolder, uninstallSubdir);
    paths.uninstaller = CanonicalPath(recordedUninstaller);
    paths.removeUninstaller = !recordedUninstaller.empty() &&
                              EqualsIgnoreCase(CanonicalPath(JoinFolder(dataFolder, FileNameOf(paths.uninstaller))),
                                               paths.uninstaller);

    const OsVersionInfo& os = facts.OsVersion();
    bool utf8 = SystemTakesUtf8Batches(os.platformId, os.majorVersion, os.minorVersion);
    if (WriteFileAtomically(paths.script, BytesOf(SelfRemovalScriptBytes(paths, utf8))).failed()) return;
    folder->Keep();

    BatchContext batch;
    batch.osPlatformId = os.platformId;
    batch.osMajor = os.majorVersion;
    batch.osMinor = os.minorVersion;
    batch.expand = [&facts](std::u16string_view text) {
        return text == u"%SystemDir%" ? facts.SystemFolder() : std::u16string(text);
    };
    StartHidden(FindCommandInterpreter(batch), paths.script);
}

}  // namespace palisade
