// Probe commands for shortcuts: reading a shell link back through the shell.
#include <windows.h>
// The system headers below need <windows.h> first.
#include <objbase.h>

#include <optional>

#include "actions/win32/shell_link_win32.h"
#include "core/text.h"
#include "probe_commands.h"

namespace palisade::probe {
namespace {

// `read-link PATH`: one "name=value" line each for the target, the
// arguments, the start-in folder and the description; exit code 1 when the
// link cannot be loaded.
int ReadLink(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<ShellLinkFields> fields = ReadShellLink(Utf8ToUtf16(args[0]));
    ::CoUninitialize();
    if (!fields) return 1;
    out += "target=" + Utf16ToUtf8(fields->target) + "\n";
    out += "arguments=" + Utf16ToUtf8(fields->arguments) + "\n";
    out += "start-in=" + Utf16ToUtf8(fields->startIn) + "\n";
    out += "description=" + Utf16ToUtf8(fields->description) + "\n";
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("read-link", ReadLink);

}  // namespace palisade::probe
