// Writes and starts delunins.bat.
#include "uninstall/win32/self_removal_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/process.h"
#include "core/win32/wide.h"
#include "uninstall/self_removal_script.h"
#include "variables/batch_text.h"
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

void WriteSelfRemovalScript(std::u16string_view installFolder, std::u16string_view uninstallSubdir) {
    Win32SystemFacts& facts = ProcessSystemFacts();
    std::u16string temp = facts.TempPath();
    if (!temp.empty() && temp.back() != u'\\') temp += u'\\';
    SelfRemovalPaths paths;
    paths.uninstaller = OwnModulePath();
    paths.installFolder = std::u16string(installFolder);
    paths.uninstallSubdir = std::u16string(uninstallSubdir);
    paths.script = temp + kSelfRemovalScriptName;

    const OsVersionInfo& os = facts.OsVersion();
    bool utf8 = SystemTakesUtf8Batches(os.platformId, os.majorVersion, os.minorVersion);
    if (WriteFileAtomically(paths.script, BytesOf(SelfRemovalScriptBytes(paths, utf8))).failed()) return;

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
