// Installs driver INF files through SetupCopyOEMInfW.
#include "actions/win32/driver_inf_win32.h"

#include <windows.h>

#include "actions/component_texts.h"
#include "actions/win32/msi_library_win32.h"
#include "core/message_numbers.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

using CopyOemInfFunction = decltype(SetupLibrary::copyOemInf);
constexpr DWORD kMediaTypePath = 1;  // SPOST_PATH
constexpr DWORD kInfNameCapacity = 260;

void InstallDriverInf(CopyOemInfFunction copyOemInf, const std::u16string& infPath, InstallContext& context) {
    context.progress.SetStatusText(ComponentProgressText(context.Message(Msg::kRegisteringFile), infPath));
    context.log.runLog.AppendWide(DriverStartLine(infPath));
    std::wstring source = ToWide(infPath);
    wchar_t finalName[kInfNameCapacity] = {};
    BOOL copied = FALSE;
    DWORD error = 0;
    GuardedResult guarded = RunGuarded([&] {
        copied = copyOemInf(source.c_str(), nullptr, kMediaTypePath, 0, finalName, kInfNameCapacity, nullptr,
                            nullptr);
        if (!copied) error = ::GetLastError();
    });
    if (guarded.faulted) {
        context.log.runLog.AppendWide(kCrashedLine);
        return;
    }
    if (!copied) {
        context.log.runLog.AppendWide(DriverFailureLine(error, SystemErrorText(error)));
        return;
    }
    finalName[kInfNameCapacity - 1] = L'\0';
    std::u16string finalPath = FromWide(finalName);
    if (finalPath.empty()) {
        context.log.runLog.AppendWide(kDriverLocationUnknownLine);
        return;
    }
    context.log.runLog.AppendWide(DriverSuccessLine(finalPath));
    context.record.inf += DriverRecordLine(finalPath);
}

}  // namespace

void InstallDriverInfFiles(InstallContext& context) {
    const SetupLibrary& setupApi = SetupApi();
    if (!setupApi.loaded) {
        context.log.runLog.AppendWide(kNoSetupApiLine);
        return;
    }
    CopyOemInfFunction copyOemInf = setupApi.copyOemInf;
    if (copyOemInf == nullptr) {
        context.log.runLog.AppendWide(kNoCopyOemInfLine);
        return;
    }
    context.log.runLog.AppendWide(u"\r\n");
    for (const std::u16string& path : context.record.driverInfList) InstallDriverInf(copyOemInf, path, context);
}

}  // namespace palisade
