// libFuzzer target: the builder's reading of a project file, from the TOML
// parser through every setting, list and file reader. The input is written to
// a project file in a folder of its own (which holds nothing else, so the
// files a project names are missing) and read as `palisade build` reads it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "builder/project.h"
#include "common/diagnostics.h"

namespace {

const std::string& ProjectPath() {
    static const std::string path = [] {
        char folder[] = "/tmp/palisade-project-fuzz-XXXXXX";
        if (!::mkdtemp(folder)) std::abort();
        return std::string(folder) + "/palisade.toml";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ProjectPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    palisade::tools::Diagnostics diagnostics;
    std::optional<palisade::tools::Project> project = palisade::tools::ReadProject(path, diagnostics);
    // A project comes back exactly when nothing was wrong with it, and every
    // report says what was wrong.
    if (project.has_value() != diagnostics.Empty()) std::abort();
    for (const palisade::tools::Diagnostic& diagnostic : diagnostics.List()) {
        if (diagnostic.message.empty() || diagnostic.place.line < 0 || diagnostic.place.column < 0) std::abort();
    }
    return 0;
}
