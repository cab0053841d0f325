// Installs driver INF files through SetupCopyOEMInfW.
#include "actions/win32/driver_inf_win32.h"

#include <windows.h>

#include "actions/component_texts.h"
#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

// Declared here so that the installer does not import Setupapi.dll.
using CopyOemInfFunction = BOOL(WINAPI*)(const wchar_t* sourceInf, const wchar_t* mediaLocation, DWORD mediaType,
                                         DWORD copyStyle, wchar_t* destination, DWORD destinationSize,
                                         DWORD* requiredSize, wchar_t** destinationComponent);
constexpr DWORD kMediaTypePath = 1;  // SPOST_PATH
constexpr DWORD kInfNameCapacity = 260;

void InstallDriverInf(CopyOemInfFunction copyOemInf, const std::u16string& infPath, InstallContext& context) {
    context.progress.SetStatusText(ComponentProgressText(context.Message(kComponentProgressMessage), infPath));
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
    // Kept loaded: the uninstaller side of the same run never needs it, and
    // freeing a library that may have started threads is not worth the risk.
    HMODULE setupApi = ::LoadLibraryW(L"Setupapi.dll");
    if (setupApi == nullptr) {
        context.log.runLog.AppendWide(kNoSetupApiLine);
        return;
    }
    auto copyOemInf = reinterpret_cast<CopyOemInfFunction>(
        reinterpret_cast<void*>(::GetProcAddress(setupApi, "SetupCopyOEMInfW")));
    if (copyOemInf == nullptr) {
        context.log.runLog.AppendWide(kNoCopyOemInfLine);
        return;
    }
    context.log.runLog.AppendWide(u"\r\n");
    for (const std::u16string& path : context.record.driverInfList) InstallDriverInf(copyOemInf, path, context);
}

}  // namespace palisade
