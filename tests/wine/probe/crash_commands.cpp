// Probe command for the crash handler: faults on purpose with the handler
// installed.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/text.h"
#include "core/win32/process_state.h"
#include "core/win32/wide.h"
#include "crash/crash_submission.h"
#include "crash/win32/crash_handler_win32.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// Deeper than any stack: the stop condition is never met, but the compiler
// cannot know that.
int Recurse(volatile int depth) {
    volatile char filler[512];
    filler[0] = char(depth);
    if (depth < 0) return filler[0];
    return Recurse(depth + 1) + filler[0];
}

void FaultOnPurpose(const std::string& kind) {
    if (kind == "access") {
        // A page without access rights faults on every system (a null pointer
        // does not fault under every emulator).
        void* page = ::VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
        *static_cast<volatile int*>(page) = 1;
    } else if (kind == "divide") {
        volatile int zero = 0;
        volatile int result = 7 / zero;
        (void)result;
    } else if (kind == "overflow") {
        (void)Recurse(0);
    } else if (kind == "breakpoint") {
        ::DebugBreak();
    }
}

// `crash KIND LOG silent|dialog|bare [ENDPOINT]`: installs the installer's
// crash handler ("dialog" with a sender address, "bare" without), writes what the
// installation log would get into LOG (UTF-8), and faults: KIND is access,
// divide, overflow or breakpoint. Prints nothing when the fault ends the
// process; "survived" otherwise.
int Crash(const std::vector<std::string>& args, std::string& out) {
    if (args.size() < 3) return 2;
    static std::u16string logPath;
    logPath = Utf8ToUtf16(args[1]);
    Process().instance = ::GetModuleHandleW(nullptr);
    Process().options.silent = args[2] == "silent";
    CrashSettings& settings = TheCrashSettings();
    settings.productVersion = u"9.8.7";
    settings.vendor.shortName = u"Palisade Tests";
    settings.vendor.privateHeader = "X-Probe: crash";
    if (args[2] == "dialog") settings.vendor.senderAddress = "crash@example.com";
    if (args.size() > 3) settings.vendor.reportEndpoint = args[3];
    settings.writeLog = [](std::u16string_view report) {
        std::string bytes = Utf16ToUtf8(CrashLogText(report));
        if (FILE* file = _wfopen(ToWide(logPath).c_str(), L"wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    };
    InstallCrashHandler(HandleCrash);
    FaultOnPurpose(args[0]);
    out = "survived\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("crash", Crash);

}  // namespace palisade::probe
