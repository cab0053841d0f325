// libFuzzer target: the builder's and inspector's readers of whole files.
// The first byte picks one: a project file, read as `palisade build` reads it
// (from the TOML parser through every setting, list and file reader; it is
// written to a folder of its own, which holds nothing else, so the files a
// project names are missing), or an installer, examined end to end as
// `palisade inspect` does (section, header, settings, integrity, stripped
// uninstaller image, archive and item walk) and rendered as text and JSON.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "builder/project.h"
#include "common/diagnostics.h"
#include "common/report_tree.h"
#include "inspector/examination_report.h"
#include "inspector/examination_text.h"
#include "inspector/installer_examination.h"

namespace {

const std::string& ProjectPath() {
    static const std::string path = [] {
        char folder[] = "/tmp/palisade-project-fuzz-XXXXXX";
        if (!::mkdtemp(folder)) std::abort();
        return std::string(folder) + "/palisade.toml";
    }();
    return path;
}

void FuzzProjectFile(const std::uint8_t* data, std::size_t size) {
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
}

// A damaged installer's code always comes with the check that failed; both views render.
void FuzzInstaller(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> image(data, data + size);
    palisade::tools::Inspection inspection = palisade::tools::InspectInstaller(image);
    if (inspection.errorCode != 0 && !inspection.Failed()) std::abort();
    (void)palisade::tools::RenderJson(palisade::tools::BuildReport(inspection));
    (void)palisade::tools::RenderInspectionText(inspection, "fuzz.exe");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1) {
        FuzzInstaller(data + 1, size - 1);
    } else {
        FuzzProjectFile(data + 1, size - 1);
    }
    return 0;
}
