// The process's last-chance exception filter: it fills the crash record,
// writes the report into the installation log and offers to send it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "crash/crash_report.h"
#include "crash/crash_submission.h"

namespace palisade {

// One crash as the filter saw it (one static instance).
struct CrashEvent {
    CrashRecord record;
    CONTEXT context{};
    DWORD threadId = 0;
    HANDLE thread = nullptr;  // the faulting thread, for the stack walk
};

// What the handler needs from the run; set as the run learns it.
struct CrashSettings {
    CrashVendor vendor;
    std::u16string productVersion;
    // Adds the crash text to the installation log and writes the log out now.
    std::function<void(std::u16string_view report)> writeLog;
};
CrashSettings& TheCrashSettings();

// The handler the filter calls; true when the report was sent (the process
// then ends without the system's crash handling).
using CrashHandler = bool (*)(const CrashEvent& event);

// Remembers `handler` and makes the filter the process's unhandled-exception
// filter; the calling thread is the main thread of the report.
void InstallCrashHandler(CrashHandler handler);

// The installer's handler: the report into the log; unless the run is silent,
// the dialog, and the form posted when the user chose "Inform Us".
bool HandleCrash(const CrashEvent& event);

// The report for `event`, with the facts gathered now.
std::u16string CrashReportFor(const CrashEvent& event);

}  // namespace palisade
