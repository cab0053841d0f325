// Starting other programs: system programs by their full path, the author's
// commands as given, hidden or shown, with or without waiting for the end.
#pragma once

#include <cstdint>
#include <string>

#include "core/win32/unique_handle.h"
#include "core/win32/win32_status.h"

namespace palisade {

struct ProcessRequest {
    // The program's full path (see SystemFilePath); it is passed to the
    // system as the program to run, so nothing is searched for. Empty when
    // `commandLine` is an author's whole command line instead.
    std::u16string program;
    // With `program`: the arguments after the quoted program, each already
    // quoted (QuoteArgument). Without it: the whole command line.
    std::u16string commandLine;
    std::u16string workingFolder;  // empty: the installer's own
    bool hidden = false;           // the program's first window is not shown
    std::uint32_t creationFlags = 0;
};

// The command line the program receives: the quoted program and the arguments.
std::u16string ProcessCommandLine(const ProcessRequest& request);

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

// Starts the program; its process handle.
Win32Result<UniqueHandle> StartProcess(const ProcessRequest& request);

struct ProcessEnd {
    Win32Status status;       // of starting it or of waiting for it
    bool timedOut = false;    // still running after the time-out (it is left running)
    std::uint32_t exitCode = 0;
    bool Ran() const { return status.ok() && !timedOut; }
};

// Starts the program and waits for it to end, at most `timeoutMs`. With
// `pumpMessages` the program's own windows are served while it waits.
ProcessEnd RunProcessAndWait(const ProcessRequest& request, std::uint32_t timeoutMs = kWaitForever,
                             bool pumpMessages = false);

}  // namespace palisade
