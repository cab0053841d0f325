// Starting other programs.
#include "core/win32/process.h"

#include <windows.h>

#include "core/win32/message_pump.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

constexpr DWORD kPumpSliceMs = 100;

// Waits for `process`; WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD WaitForEnd(HANDLE process, std::uint32_t timeoutMs, bool pumpMessages) {
    if (!pumpMessages) return ::WaitForSingleObject(process, timeoutMs);
    DWORD start = ::GetTickCount();
    for (;;) {
        DWORD elapsed = ::GetTickCount() - start;
        if (timeoutMs != kWaitForever && elapsed >= timeoutMs) return WAIT_TIMEOUT;
        DWORD slice = timeoutMs == kWaitForever ? kPumpSliceMs : std::min<DWORD>(kPumpSliceMs, timeoutMs - elapsed);
        DWORD woke = ::MsgWaitForMultipleObjects(1, &process, FALSE, slice, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return woke;
        PumpWaitingMessages();
    }
}

}  // namespace

std::u16string ProcessCommandLine(const ProcessRequest& request) {
    if (request.program.empty()) return request.commandLine;
    // Always quoted: a path never holds a quote, and the program then reads
    // its own name back whole.
    std::u16string line = u"\"" + request.program + u"\"";
    if (!request.commandLine.empty()) line += u" " + request.commandLine;
    return line;
}

Win32Result<UniqueHandle> StartProcess(const ProcessRequest& request) {
    std::wstring commandLine = ToWide(ProcessCommandLine(request));
    std::wstring program = ToWide(request.program);
    std::wstring folder = ToWide(request.workingFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (request.hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          request.creationFlags, nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                          &started)) {
        return Win32Status::FromLastError();
    }
    ::CloseHandle(started.hThread);
    return UniqueHandle(started.hProcess);
}

ProcessEnd RunProcessAndWait(const ProcessRequest& request, std::uint32_t timeoutMs, bool pumpMessages) {
    ProcessEnd end;
    Win32Result<UniqueHandle> process = StartProcess(request);
    if (!process.ok()) {
        end.status = process.status();
        return end;
    }
    DWORD woke = WaitForEnd(process->get(), timeoutMs, pumpMessages);
    if (woke == WAIT_FAILED) {
        end.status = Win32Status::FromLastError();
        return end;
    }
    if (woke == WAIT_TIMEOUT) {
        end.timedOut = true;
        return end;
    }
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process->get(), &exitCode)) end.status = Win32Status::FromLastError();
    end.exitCode = exitCode;
    return end;
}

}  // namespace palisade
