// The palisade command: `build` turns a project file into an installer, `inspect` shows what an installer holds.
#include <cstdio>
#include <string>
#include <vector>

#include "builder/build_command.h"
#include "builder/keys_command.h"
#include "inspector/examine_command.h"

namespace {

const char kUsage[] =
    "Usage: palisade build PROJECT.toml -o SETUP.exe [options]   (palisade build --help)\n"
    "       palisade inspect SETUP.exe [--json]\n"
    "       palisade keys [--markdown]      (every settings key, its type and default)\n"
    "       palisade --version\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string command = arguments.front();
    arguments.erase(arguments.begin());
    if (command == "build") return palisade::tools::RunBuildCommand(arguments);
    if (command == "inspect") return palisade::tools::RunInspectCommand(arguments);
    if (command == "keys") return palisade::tools::RunKeysCommand(arguments);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("palisade %s (installer format 44.0.1)\n", PALISADE_VERSION);
        return 0;
    }
    std::fprintf(stderr, "palisade: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
}
