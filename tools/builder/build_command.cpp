// `palisade build`: the command line, the build and its summary.
#include "builder/build_command.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "builder/build_values.h"
#include "builder/installer_builder.h"
#include "builder/project.h"
#include "builder/shipped_files.h"
#include "common/file_reading.h"
#include "common/terminal_text.h"
#include "inspector/installer_examination.h"

namespace palisade::tools {

namespace {

struct BuildArguments {
    std::string project;
    std::string output;
    std::string stub;
    std::optional<unsigned> jobs;
    std::optional<std::size_t> chunkSize;
    std::optional<std::uint32_t> xzPreset;
    bool xzExtreme = false;
    bool best = false;
    std::optional<CipherKey> cipherKey;
    std::optional<std::string> sign;
    bool quiet = false;
    bool verify = false;
};

const char kBuildUsage[] =
    "Usage: palisade build PROJECT.toml -o SETUP.exe [options]\n"
    "  -o, --output FILE      the installer to write (or 'output' in [build])\n"
    "      --stub FILE        the installer stub to build from\n"
    "  -j, --jobs N           compression threads (0: one per core)\n"
    "      --chunk-size SIZE  archive chunk size, e.g. 4M (default: chosen from the payload)\n"
    "      --xz-preset N      xz preset 0..9\n"
    "      --xz-extreme       the preset's extreme variant (slower, slightly smaller)\n"
    "      --best             also try the x86 branch filter on every chunk, keep the smaller\n"
    "      --cipher-key HEX   encipher with this 8-byte key (16 hex digits)\n"
    "      --sign COMMAND     sign the installer (and its uninstaller) with COMMAND, {file} being the file\n"
    "      --verify           read every item of the result back\n"
    "  -q, --quiet            no progress output\n";

int Usage(const std::string& complaint) {
    std::fprintf(stderr, "palisade build: %s\n%s", complaint.c_str(), kBuildUsage);
    return 2;
}

// Parses the options; on a mistake prints it and returns the exit code 2.
std::optional<BuildArguments> ParseArguments(const std::vector<std::string>& arguments, int& exitCode) {
    BuildArguments parsed;
    exitCode = 2;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        std::string text;
        if (argument == "-q" || argument == "--quiet") {
            parsed.quiet = true;
        } else if (argument == "--verify") {
            parsed.verify = true;
        } else if (argument == "--xz-extreme") {
            parsed.xzExtreme = true;
        } else if (argument == "--best") {
            parsed.best = true;
        } else if (argument == "-h" || argument == "--help") {
            std::fputs(kBuildUsage, stdout);
            exitCode = 0;
            return std::nullopt;
        } else if (argument == "-o" || argument == "--output") {
            if (!value(parsed.output)) return Usage(argument + " needs a file"), std::nullopt;
        } else if (argument == "--stub") {
            if (!value(parsed.stub)) return Usage("--stub needs a file"), std::nullopt;
        } else if (argument == "-j" || argument == "--jobs") {
            char* end = nullptr;
            if (!value(text) || (parsed.jobs = unsigned(std::strtoul(text.c_str(), &end, 10)), *end != '\0') ||
                *parsed.jobs > 256) {
                return Usage("--jobs needs a number of threads (0..256)"), std::nullopt;
            }
        } else if (argument == "--chunk-size") {
            if (!value(text) || !(parsed.chunkSize = ParseByteSize(text)) || *parsed.chunkSize < 4096 ||
                *parsed.chunkSize > (256u << 20)) {
                return Usage("--chunk-size needs a size from 4K to 256M"), std::nullopt;
            }
        } else if (argument == "--xz-preset") {
            if (!value(text) || text.size() != 1 || text[0] < '0' || text[0] > '9') {
                return Usage("--xz-preset needs a level 0..9"), std::nullopt;
            }
            parsed.xzPreset = std::uint32_t(text[0] - '0');
        } else if (argument == "--sign") {
            if (!value(text) || text.find("{file}") == std::string::npos) {
                return Usage("--sign needs a command that names the file to sign as {file}"), std::nullopt;
            }
            parsed.sign = text;
        } else if (argument == "--cipher-key") {
            if (!value(text) || !(parsed.cipherKey = ParseCipherKey(text))) {
                return Usage("--cipher-key needs 16 hexadecimal digits"), std::nullopt;
            }
        } else if (!argument.empty() && argument[0] == '-') {
            return Usage("unknown option " + argument), std::nullopt;
        } else if (parsed.project.empty()) {
            parsed.project = argument;
        } else {
            return Usage("unexpected argument " + argument), std::nullopt;
        }
    }
    if (parsed.project.empty()) return Usage("no project file given"), std::nullopt;
    return parsed;
}

// Writes beside the target first, so that a failed write never leaves a half installer.
bool WriteInstaller(const std::string& path, const std::vector<std::uint8_t>& image) {
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()))) return false;
    }
    chmod(temporary.c_str(), 0755);
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

void ApplyArguments(const BuildArguments& arguments, Project& project) {
    BuildOptions& build = project.build;
    if (arguments.jobs) build.jobs = *arguments.jobs;
    if (arguments.chunkSize) build.chunkSize = *arguments.chunkSize;
    if (arguments.xzPreset) build.xzPreset = *arguments.xzPreset;
    if (arguments.xzExtreme) build.xzExtreme = true;
    if (arguments.best) build.best = true;
    if (arguments.cipherKey) {
        build.cipher = true;
        build.cipherKey = arguments.cipherKey;
    }
    if (arguments.sign) build.sign = {*arguments.sign, {}, {"--sign"}};  // runs in the current folder
}

// The output must not replace a file the build reads: the project file, the
// stub, a source, a document or a language file.
bool CheckOutputIsNoInput(const std::string& output, const Project& project, const std::string& stub,
                          Diagnostics& diagnostics) {
    std::error_code error;
    if (!std::filesystem::exists(output, error)) return true;
    auto same = [&](const std::filesystem::path& input) {
        std::error_code ignored;
        return std::filesystem::equivalent(output, input, ignored);
    };
    std::string what;
    if (same(project.file)) what = "the project file";
    if (what.empty() && same(stub)) what = "the installer stub";
    for (const std::filesystem::path& input : project.inputs) {
        if (what.empty() && same(input)) what = "a file the project reads";
    }
    for (const FileSpec& fileSpec : project.files) {
        for (const SourceFile& source : fileSpec.sources) {
            if (what.empty() && same(source.path)) what = "a source of the [[files]] entry at line " +
                                                          std::to_string(fileSpec.place.line);
        }
    }
    if (what.empty()) return true;
    diagnostics.Error({output}, "the output would replace " + what + "; choose another output file");
    return false;
}

std::string ResolvePath(const std::string& fromCommandLine, const std::string& fromProject, const Project& project) {
    if (!fromCommandLine.empty()) return fromCommandLine;
    if (fromProject.empty()) return {};
    return (project.folder / fromProject).lexically_normal().string();
}

void PrintSummary(const BuildSummary& summary, const Inspection& check, const std::string& output, Progress& progress) {
    std::uint64_t archive = check.header ? std::uint64_t(check.header->archiveLength) : 0;
    double ratio = summary.streamBytes ? 100.0 * double(archive) / double(summary.streamBytes) : 0;
    double speed = summary.seconds > 0 ? double(summary.dataBytes) / (1024.0 * 1024.0) / summary.seconds : 0;
    char line[256];
    std::snprintf(line, sizeof line, "archive: %s -> %s (%.1f%%), %zu chunk(s); %.2f s",
                  ByteCount(summary.streamBytes).c_str(), ByteCount(archive).c_str(), ratio, summary.chunkCount,
                  summary.seconds);
    std::string text = line;
    // Below a mebibyte the time is the program's start, not its throughput.
    if (summary.dataBytes >= (1u << 20)) {
        std::snprintf(line, sizeof line, ", %.1f MiB/s", speed);
        text += line;
    }
    progress.Line(text);
    progress.Line("wrote " + output + " (" + ByteCount(summary.image.size()) + ", " +
                  std::to_string(summary.itemCount) + " item(s))");
}

}  // namespace

std::string DefaultStubPath() { return FindShippedFiles().stub.string(); }

int RunBuildCommand(const std::vector<std::string>& argumentList) {
    int exitCode = 2;
    std::optional<BuildArguments> arguments = ParseArguments(argumentList, exitCode);
    if (!arguments) return exitCode;
    Progress progress(arguments->quiet);
    Diagnostics diagnostics;
    auto fail = [&diagnostics] {
        // Messages quote names from the disk and the project: printed with their controls escaped.
        for (const Diagnostic& diagnostic : diagnostics.List()) {
            std::fprintf(stderr, "%s\n", TerminalSafe(FormatDiagnostic(diagnostic)).c_str());
        }
        return 1;
    };

    std::optional<Project> project = ReadProject(arguments->project, diagnostics);
    if (!project) return fail();
    ApplyArguments(*arguments, *project);
    std::string output = ResolvePath(arguments->output, project->build.output, *project);
    if (output.empty()) return Usage("no output file: give -o SETUP.exe or 'output' in [build]");
    std::string stubPath = ResolvePath(arguments->stub, project->build.stub, *project);
    const char* stubOrigin = !arguments->stub.empty()       ? "the stub given with --stub"
                             : !project->build.stub.empty() ? "the stub named by 'stub' in [build]"
                                                            : "the stub this builder ships with (build it with "
                                                              "'make windows', or give --stub)";
    if (stubPath.empty()) stubPath = DefaultStubPath();
    FileBytes stub = ReadFileBytes(stubPath);
    if (!stub.Ok()) {
        diagnostics.Error({stubPath}, stub.error + "; it is " + stubOrigin);
        return fail();
    }
    if (!CheckOutputIsNoInput(output, *project, stubPath, diagnostics)) return fail();

    std::optional<BuildSummary> summary = BuildInstaller(*project, stub.bytes, progress, diagnostics);
    if (!summary) return fail();
    // The result is read back with the installer's own reader before it is written.
    Inspection check = InspectInstaller(summary->image, arguments->verify);
    if (check.Failed()) {
        diagnostics.Error({output}, "the built installer does not read back: error code " +
                                        std::to_string(check.errorCode) + ": " + check.failedCheck);
        return fail();
    }
    if (!WriteInstaller(output, summary->image)) {
        diagnostics.Error({output}, "cannot write the installer");
        return fail();
    }
    if (summary->key && !project->build.cipherKey) {
        progress.Line(std::string(summary->keyFromContent ? "cipher key (from the content, SOURCE_DATE_EPOCH is set): "
                                                          : "cipher key (random): ") +
                      CipherKeyText(*summary->key));
    }
    PrintSummary(*summary, check, output, progress);
    return 0;
}

}  // namespace palisade::tools
