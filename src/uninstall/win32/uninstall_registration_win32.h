// The end of an installation for the uninstaller's sake: saved files, the
// uninstaller itself, the product's registration and Uninstall.DAT.
#pragma once

#include <cstdint>
#include <string>

#include "core/byte_view.h"
#include "core/step_result.h"
#include "variables/install_context.h"

namespace palisade {

// What the finish needs beyond the context.
struct UninstallInputs {
    // The installer without its payload; written as the uninstaller when
    // `PayloadFlags` 0x20 is set. Not owned: must outlive the call.
    ByteView strippedInstaller;
    // Copied as the uninstaller when there is no stripped image; empty: the
    // running executable (`SystemFacts::ModulePath`).
    std::u16string runningExecutable;
    // The folder the installer ran from ("InstallSource"); empty: the folder
    // of the running executable.
    std::u16string installSource;
    // Total size of the installed files in bytes ("EstimatedSize").
    std::uint64_t installedBytes = 0;
    // The run identifier ("Session"): the process start time.
    std::int64_t session = 0;
    // The uninstall data of the installation this one replaces, and the
    // SHA-256 its product key recorded for it (empty: none was recorded).
    std::u16string previousUninstallData;
    std::u16string previousUninstallDataHash;
};

// Progress 95 to 100: the uninstaller icon, the background picture, readme
// and licence files, then (with `SettingsFlags1` 0x4) the uninstaller, the
// values in keys of their own, Uninstall.DAT (with what the replaced
// installation recorded), the product key with the data's SHA-256, and
// reboot.dat. The data comes before the key, so that the key never names
// data that is not there.
StepResult RegisterUninstall(InstallContext& context, const UninstallInputs& inputs);

}  // namespace palisade
