// The finish of an installation in its fixed order: uninstaller icon and
// shortcuts, background picture, readme and licence files, PATH, then the
// uninstaller, the product key, reboot.dat, and finally Uninstall.DAT.
#include "uninstall/win32/uninstall_registration_win32.h"

#include <windows.h>

#include "actions/win32/shortcuts_win32.h"
#include "actions/win32/system_path_win32.h"
#include "core/message_numbers.h"
#include "core/win32/atomic_file.h"
#include "core/win32/system_time.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/win32/install_log_win32.h"
#include "payload/settings_flags.h"
#include "uninstall/product_key_values.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/win32/product_key_win32.h"
#include "uninstall/win32/saved_files_win32.h"
#include "uninstall/win32/uninstaller_copy_win32.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

// An empty marker file that the restart removes again.
void CreateRebootMarker(InstallContext& context) {
    std::wstring path = ToWide(JoinFolder(context.state.installFolder, u"reboot.dat"));
    UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    file.reset();
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

ProductKeyFacts GatherFacts(InstallContext& context, const UninstallInputs& inputs, const std::u16string& uninstaller,
                            const std::u16string& running, bool productIconSaved) {
    ProductKeyFacts facts;
    facts.uninstallerPath = uninstaller;
    facts.installSource = inputs.installSource.empty() ? CutLastComponent(running).value_or(u"") : inputs.installSource;
    facts.installedBytes = inputs.installedBytes;
    facts.productIconSaved = productIconSaved;
    facts.session = inputs.session;
    facts.date = LocalNow();
    return facts;
}

}  // namespace

StepResult RegisterUninstall(InstallContext& context, const UninstallInputs& inputs) {
    context.progress.SetProgress(95);
    std::u16string uninstaller = UninstallerPath(context.settings, context.state);
    SaveUninstallerIcon(context);
    // The uninstall shortcuts (the shortcut step's own code).
    CreateUninstallShortcuts(context, uninstaller, UninstallArguments(context.settings));

    context.progress.SetProgress(98);
    SaveBackgroundPicture(context);
    SaveReadmeAndLicenceTexts(context);
    // Call point of the PATH addition (registry step).
    if (context.Flag1(Flags1::kAddToPath)) EditSystemPath(context, PathEdit::Add, context.settings.addToPathSubfolder);

    context.progress.SetProgress(99);
    if (!context.Flag1(Flags1::kUninstaller)) return StepResult::Continue();
    std::u16string running = inputs.runningExecutable.empty() ? context.facts.ModulePath() : inputs.runningExecutable;
    WriteUninstaller(context, uninstaller, inputs.strippedInstaller, running);
    bool productIconSaved = SaveProductIcon(context);
    StepResult written = WriteProductKey(context, GatherFacts(context, inputs, uninstaller, running, productIconSaved));
    if (written.IsFatal()) return written;
    if (context.Flag2(Flags2::kRebootMarker)) CreateRebootMarker(context);
    return StepResult::Continue();
}

void WriteUninstallData(InstallContext& context) {
    context.progress.SetProgress(100);
    if (!context.Flag1(Flags1::kUninstaller)) return;
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, kUninstallDataFileName);
    std::string bytes = ComposeUninstallData(context.record, context.settings);
    if (Win32Status written = WriteFileAtomically(path, BytesOf(bytes)); written.failed()) {
        LogFailure(context.log.failures, context.Message(Msg::kCouldNotInstall), path, written);
    }
}

}  // namespace palisade
