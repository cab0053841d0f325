// Opening and closing the System Restore point through srclient.dll, which is
// loaded on first use and left loaded.
#include "system/win32/restore_point_win32.h"

#include <windows.h>

#include <srrestoreptapi.h>

#include <cstring>

#include "core/win32/guarded_call.h"
#include "core/win32/system_error.h"
#include "core/win32/system_library.h"
#include "payload/settings_flags.h"
#include "system/restore_point_text.h"

namespace palisade {
namespace {

using SetRestorePointFunction = BOOL(WINAPI*)(PRESTOREPOINTINFOW, PSTATEMGRSTATUS);

constexpr DWORD kBeginSystemChange = 100;
constexpr DWORD kEndSystemChange = 101;
constexpr DWORD kApplicationInstall = 0;

// Found once per process; null until then or when the service is missing.
SetRestorePointFunction g_setRestorePoint = nullptr;

enum class Lookup { Found, NoLibrary, NoEntry };

Lookup FindSetRestorePoint() {
    if (g_setRestorePoint) return Lookup::Found;
    HMODULE library = LoadSystemLibraryForProcess(L"srclient.dll");
    if (!library) return Lookup::NoLibrary;
    g_setRestorePoint = LibraryFunction<SetRestorePointFunction>(library, "SRSetRestorePointW");
    return g_setRestorePoint ? Lookup::Found : Lookup::NoEntry;
}

struct CallResult {
    bool crashed = false;
    BOOL succeeded = FALSE;
    STATEMGRSTATUS status = {};
};

// Kept plain: a fault inside is caught by the guard, which unwinds nothing.
CallResult CallSetRestorePoint(RESTOREPOINTINFOW& request) {
    CallResult result;
    GuardedResult guard = RunGuarded([&] { result.succeeded = g_setRestorePoint(&request, &result.status); });
    result.crashed = guard.faulted;
    return result;
}

RESTOREPOINTINFOW Request(DWORD eventType, std::int64_t sequenceNumber, std::u16string_view description) {
    RESTOREPOINTINFOW request;
    std::memset(&request, 0, sizeof request);
    request.dwEventType = eventType;
    request.dwRestorePtType = kApplicationInstall;
    request.llSequenceNumber = sequenceNumber;
    std::u16string limited = LimitedDescription(description);
    std::memcpy(request.szDescription, limited.data(), limited.size() * sizeof(char16_t));
    return request;
}

}  // namespace

bool RestorePoint::Begin(std::u16string_view description, std::u16string& error) {
    std::u16string reason;
    if (!InitialiseComSecurity(reason)) {
        error = ComSecurityFailureText(reason);
        return false;
    }
    switch (FindSetRestorePoint()) {
        case Lookup::NoLibrary: error = kRestoreNotPresent; return false;
        case Lookup::NoEntry: error = kRestoreEntryMissing; return false;
        case Lookup::Found: break;
    }
    RESTOREPOINTINFOW request = Request(kBeginSystemChange, 0, description);
    CallResult result = CallSetRestorePoint(request);
    if (result.crashed) {
        error = kRestoreCrashed;
        return false;
    }
    if (!result.succeeded) {
        std::uint32_t status = result.status.nStatus;
        error = RestoreFailureText(status, SystemErrorText(status));
        return false;
    }
    m_sequenceNumber = result.status.llSequenceNumber;
    return true;
}

bool RestorePoint::Commit() {
    if (m_sequenceNumber == 0 || !g_setRestorePoint) return false;
    RESTOREPOINTINFOW request = Request(kEndSystemChange, m_sequenceNumber, {});
    m_sequenceNumber = 0;
    CallResult result = CallSetRestorePoint(request);
    return !result.crashed && result.succeeded;
}

void BeginRestorePoint(InstallContext& context, RestorePoint& restorePoint) {
    if (!context.Payload(PayloadFlags::kRestorePoint)) return;
    context.log.runLog.AppendWide(u"Creating restore point...");
    std::u16string error;
    std::u16string description = RestorePointDescription(context.settings.displayName, context.settings.displayVersion);
    if (restorePoint.Begin(description, error)) {
        context.log.runLog.AppendWide(u"OK\r\n");
        return;
    }
    context.log.runLog.AppendWide(u"FAILED\r\n" + error + u"\r\n");
    context.payloadFlags &= ~PayloadFlags::kRestorePoint;
}

void CommitRestorePoint(InstallContext& context, RestorePoint& restorePoint) {
    if (!context.Payload(PayloadFlags::kRestorePoint)) return;
    if (!restorePoint.Commit()) context.log.runLog.AppendWide(u"Failed to commit restore point.\r\n");
}

}  // namespace palisade
