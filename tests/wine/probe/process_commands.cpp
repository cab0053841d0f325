// Probe commands that start programs with an exact Windows command line, as
// a user typing it into a console would (Wine's own start-up re-quotes
// arguments passed from Linux).
#include <windows.h>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// `run-line PROGRAM ARGUMENTS`: runs "PROGRAM" ARGUMENTS (the arguments as one
// text, unchanged), waits, and prints and returns the program's exit code.
int RunLine(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    std::wstring line = L"\"" + ToWide(Utf8ToUtf16(args[0])) + L"\" " + ToWide(Utf8ToUtf16(args[1]));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        out = "cannot start " + std::to_string(::GetLastError());
        return 255;
    }
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(started.hProcess, &code);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    out = std::to_string(code);
    return int(code & 0xFF);
}

// `run-until PROGRAM ARGUMENTS PATH`: runs "PROGRAM" ARGUMENTS and ends it
// the way Task Manager would (TerminateProcess) as soon as PATH exists.
// Prints "killed" or, when the program ended first, "ended CODE".
int RunUntil(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 3) return 2;
    std::wstring line = L"\"" + ToWide(Utf8ToUtf16(args[0])) + L"\" " + ToWide(Utf8ToUtf16(args[1]));
    std::wstring marker = ToWide(Utf8ToUtf16(args[2]));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        out = "cannot start " + std::to_string(::GetLastError());
        return 255;
    }
    ::CloseHandle(started.hThread);
    while (::WaitForSingleObject(started.hProcess, 5) == WAIT_TIMEOUT) {
        if (::GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        ::TerminateProcess(started.hProcess, 9);
        ::WaitForSingleObject(started.hProcess, INFINITE);
        ::CloseHandle(started.hProcess);
        out = "killed";
        return 0;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(started.hProcess, &code);
    ::CloseHandle(started.hProcess);
    out = "ended " + std::to_string(code);
    return 1;
}

}  // namespace

PALISADE_PROBE_COMMAND("run-line", RunLine);
PALISADE_PROBE_COMMAND("run-until", RunUntil);

}  // namespace palisade::probe
