// The finish of an installation in its fixed order: uninstaller icon and
// shortcuts, background picture, readme and licence files, PATH, then the
// uninstaller, the product key, reboot.dat, and finally Uninstall.DAT.
#include "uninstall/win32/uninstall_registration_win32.h"

#include <windows.h>

#include "actions/win32/shortcuts_win32.h"
#include "actions/win32/system_path_win32.h"
#include "core/message_numbers.h"
#include "core/fatal_codes.h"
#include "core/text.h"
#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/sha256.h"
#include "core/win32/system_time.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/win32/install_log_win32.h"
#include "payload/settings_flags.h"
#include "uninstall/product_key_values.h"
#include "uninstall/uninstall_data.h"
#include "uninstall/uninstall_data_reader.h"
#include "uninstall/win32/product_key_win32.h"
#include "uninstall/win32/saved_files_win32.h"
#include "uninstall/win32/uninstaller_copy_win32.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

// Far more than any product's uninstall data; a larger file is not ours.
constexpr std::uint64_t kLargestUninstallData = 256u << 20;

// An empty marker file that the restart removes again.
void CreateRebootMarker(InstallContext& context) {
    std::wstring path = ToWide(JoinFolder(context.state.installFolder, u"reboot.dat"));
    UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    file.reset();
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// What the installation this one replaces recorded, when its data is there
// and (if its key recorded one) matches its SHA-256.
void CarryOverPreviousData(InstallContext& context, const UninstallInputs& inputs) {
    if (inputs.previousUninstallData.empty()) return;
    Win32Result<std::string> previous = ReadWholeFile(inputs.previousUninstallData, kLargestUninstallData);
    if (!previous.ok()) return;
    if (!inputs.previousUninstallDataHash.empty()) {
        Win32Result<std::u16string> hash = Sha256Hex(BytesOf(*previous));
        if (!hash.ok() || !EqualsIgnoreCase(*hash, inputs.previousUninstallDataHash)) {
            context.log.runLog.AppendWidePieces({u"The previous uninstall data \"", inputs.previousUninstallData,
                                                 u"\" was changed since it was written; it is not carried over.\r\n"});
            return;
        }
    }
    CarryOverPreviousRecord(ParseUninstallData(*previous), context.record);
}

// Uninstall.DAT in the uninstall data folder; its SHA-256, or empty when it
// could not be written (the failure is in the failure list).
std::u16string WriteUninstallData(InstallContext& context, const UninstallInputs& inputs) {
    CarryOverPreviousData(context, inputs);
    std::u16string path = JoinFolder(context.state.uninstallDataFolder, kUninstallDataFileName);
    std::string bytes = ComposeUninstallData(context.record, context.settings);
    if (Win32Status written = WriteFileAtomically(path, BytesOf(bytes)); written.failed()) {
        LogFailure(context.log.failures, context.Message(Msg::kCouldNotInstall), path, written);
        return {};
    }
    return Sha256Hex(BytesOf(bytes)).value_or({});
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
    ProductKeyFacts facts = GatherFacts(context, inputs, uninstaller, running, productIconSaved);
    ProductKeyPlan plan = PlanProductKeyValues(context.settings, context.payloadFlags, context.state, context.record,
                                               facts, [&](std::u16string_view text) { return context.Expand(text); });
    if (plan.badAuthorType) return StepResult::Fatal(FatalCode::kUninstallValueType);
    WriteValuesInOtherKeys(context, plan.values);
    context.progress.SetProgress(100);
    std::u16string dataHash = WriteUninstallData(context, inputs);
    if (!dataHash.empty()) {
        ProductKeyValue hashValue;
        hashValue.name = kUninstallDataHashValue;
        hashValue.text = dataHash;
        plan.values.push_back(std::move(hashValue));
    }
    WriteProductKeyValues(context, plan.values);
    if (context.Flag2(Flags2::kRebootMarker)) CreateRebootMarker(context);
    return StepResult::Continue();
}

}  // namespace palisade
