// The builder CLI: turns a project file into an installer.
#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage: palisade build PROJECT.toml -o SETUP.exe\n"
        "       palisade inspect SETUP.exe [--json]\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    if (argc >= 2 && (std::strcmp(argv[1], "build") == 0 || std::strcmp(argv[1], "inspect") == 0)) {
        std::fprintf(stderr, "palisade: '%s' is not available in this version yet\n", argv[1]);
        return 2;
    }
    PrintUsage(stderr);
    return 2;
}
