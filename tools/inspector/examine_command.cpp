// `palisade inspect`: prints what an installer holds, as text or JSON.
#include "inspector/examine_command.h"

#include <cstdint>
#include <cstdio>

#include "common/file_reading.h"
#include "common/terminal_text.h"

#include "inspector/examination_report.h"
#include "inspector/examination_text.h"
#include "inspector/installer_examination.h"

namespace palisade::tools {

namespace {
constexpr std::uint64_t kMaxInstallerFileSize = 0xFFFFFFFFu;
}  // namespace

int RunInspectCommand(const std::vector<std::string>& arguments) {
    const char* usage = "Usage: palisade inspect SETUP.exe [--json]\n";
    std::string path;
    bool json = false;
    for (const std::string& argument : arguments) {
        if (argument == "--json") {
            json = true;
        } else if (argument == "-h" || argument == "--help") {
            std::fputs(usage, stdout);
            return 0;
        } else if (path.empty() && (argument.empty() || argument[0] != '-')) {
            path = argument;
        } else {
            std::fprintf(stderr, "palisade inspect: unexpected argument %s\n%s", argument.c_str(), usage);
            return 2;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "palisade inspect: no installer given\n%s", usage);
        return 2;
    }
    // No installer is larger than 4 GiB (its offsets are 32-bit, and the
    // builder refuses to make one): a larger file is not read into memory.
    FileBytes file = ReadFileBytes(path, kMaxInstallerFileSize, "an installer is at most 4 GiB");
    if (!file.Ok()) {
        std::fprintf(stderr, "palisade inspect: %s\n", TerminalSafe(file.error).c_str());
        return 1;
    }
    Inspection inspection = InspectInstaller(file.bytes);
    // Names, settings and versions come from the file: the text view is
    // printed with its control characters escaped (JSON escapes its own).
    std::string report = json ? RenderJson(BuildReport(inspection)) : TerminalSafe(RenderInspectionText(inspection, path));
    std::fputs(report.c_str(), stdout);
    if (inspection.Failed()) {
        std::string code =
            inspection.errorCode ? "damaged installer: error code " + std::to_string(inspection.errorCode) + ": " : "";
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", TerminalSafe(path + ": error: " + code + inspection.failedCheck).c_str());
        return 1;
    }
    return 0;
}

}  // namespace palisade::tools
