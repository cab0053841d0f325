// Gathers what the crash report shows beside the crash record: the modules,
// the call stack, the process's times and the system's texts.
#pragma once

#include <windows.h>

#include <vector>

#include "crash/crash_report.h"

namespace palisade {

struct CrashEvent;

// The modules of this process through the tool-help snapshot, else through
// the process-status enumeration; empty when neither is available.
std::vector<ProcessModule> LoadedModules();

// Up to 100 frames from the event's context through the debugging-help
// library (loaded from the system folder); empty without it.
std::vector<StackFrame> WalkStack(const CrashEvent& event, const std::vector<ProcessModule>& modules);

CrashFacts GatherCrashFacts(const CrashEvent& event, DWORD mainThreadId);

}  // namespace palisade
