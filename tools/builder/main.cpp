// The palisade command: `build` turns a project file into an installer, `inspect` shows what an installer holds,
// `keys` lists the project file's keys, `init` writes a project file for a folder of files.
#include <cstdio>
#include <string>
#include <vector>

#include "builder/build_command.h"
#include "builder/init_command.h"
#include "builder/keys_command.h"
#include "builder/shipped_files.h"
#include "inspector/examine_command.h"

namespace {

const char kUsage[] =
    "Usage: palisade build PROJECT.toml -o SETUP.exe [options]   (palisade build --help)\n"
    "       palisade inspect SETUP.exe [--json]\n"
    "       palisade keys [--markdown | --json-schema]   (every key of the project file)\n"
    "       palisade init [FOLDER] [-o PROJECT.toml] [--force]   (a project file for a folder of files)\n"
    "       palisade --version              (and where the stub and the translations are)\n";

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
    if (command == "init") return palisade::tools::RunInitCommand(arguments);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        const palisade::tools::ShippedFiles& shipped = palisade::tools::FindShippedFiles();
        std::printf("palisade %s (installer format 44.0.1)\nstub: %s\ntranslations: %s\n", PALISADE_VERSION,
                    shipped.stub.c_str(), shipped.languages.c_str());
        return 0;
    }
    std::fprintf(stderr, "palisade: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
}
