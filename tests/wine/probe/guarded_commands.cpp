// Probe commands for the fault guard around foreign code.
#include <windows.h>

#include "core/win32/guarded_call.h"
#include "core/text.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// `fault COUNT`: faults COUNT times inside the guard, then runs a clean call;
// prints one line per call with the exception code or "ok".
int Fault(const std::vector<std::string>& args, std::string& out) {
    int count = args.empty() ? 1 : std::stoi(args[0]);
    // A page without access rights faults on every system; a write through a
    // null pointer does not fault under every emulator.
    void* page = ::VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
    for (int i = 0; i < count; ++i) {
        GuardedResult r = RunGuarded([page] {
            int* volatile target = static_cast<int*>(page);
            *target = 1;
        });
        out += r.faulted ? "fault " + Utf16ToUtf8(ToU16Hex(r.exceptionCode, 8)) + "\n" : "ok\n";
    }
    ::VirtualFree(page, 0, MEM_RELEASE);
    int value = 0;
    GuardedResult clean = RunGuarded([&] { value = 7; });
    out += clean.faulted || value != 7 ? "clean call failed\n" : "ok\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("fault", Fault);

}  // namespace palisade::probe
