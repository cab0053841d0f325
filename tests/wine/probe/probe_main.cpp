// Entry of the probe: `palisade-probe.exe COMMAND ARGS...`.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <map>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"

namespace palisade::probe {

static std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}

bool RegisterCommand(const std::string& name, Command command) {
    Commands()[name] = std::move(command);
    return true;
}

}  // namespace palisade::probe

int wmain(int argc, wchar_t** argv) {
    using namespace palisade;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf16ToUtf8(FromWide(argv[i])));
    auto& commands = probe::Commands();
    if (args.empty() || commands.find(args[0]) == commands.end()) {
        std::fprintf(stderr, "usage: palisade-probe COMMAND ARGS...\ncommands:");
        for (auto& entry : commands) std::fprintf(stderr, " %s", entry.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    // Answers are bytes: no CR LF translation on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    std::string out;
    std::string name = args[0];
    args.erase(args.begin());
    int code = commands[name](args, out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return code;
}
