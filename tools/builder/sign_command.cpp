// The author's signing command, run on a file the builder wrote.
#include "builder/sign_command.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "payload/pe_certificate.h"

namespace palisade::tools {

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A private folder under the system's temporary folder, removed with what is in it.
class PrivateFolder {
public:
    PrivateFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "palisade-sign-XXXXXX").string();
        if (mkdtemp(pattern.data())) m_path = pattern;
    }
    ~PrivateFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Runs `/bin/sh -c command` in `folder` with its standard output sent to our
// standard error; the exit status, or -1 with `error` set when it cannot start.
int RunShell(const std::string& command, const std::filesystem::path& folder, std::string& error) {
    pid_t child = fork();
    if (child < 0) {
        error = std::string("cannot start /bin/sh: ") + std::strerror(errno);
        return -1;
    }
    if (child == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("waiting for the command failed: ") + std::strerror(errno);
            return -1;
        }
    }
    if (WIFSIGNALED(status)) {
        error = "the command was ended by signal " + std::to_string(WTERMSIG(status));
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace

std::string ExpandSignCommand(const std::string& command, const std::string& path) {
    std::string expanded;
    const std::string marker = "{file}";
    for (std::size_t at = 0;;) {
        std::size_t found = command.find(marker, at);
        expanded += command.substr(at, found == std::string::npos ? std::string::npos : found - at);
        if (found == std::string::npos) return expanded;
        expanded += ShellQuoted(path);
        at = found + marker.size();
    }
}

std::optional<std::vector<std::uint8_t>> SignImage(const std::vector<std::uint8_t>& image, const std::string& name,
                                                   const SignCommand& sign, Progress& progress,
                                                   Diagnostics& diagnostics) {
    PrivateFolder folder;
    if (folder.Path().empty()) {
        diagnostics.Error(sign.place, std::string("cannot make a temporary folder for signing: ") + std::strerror(errno));
        return std::nullopt;
    }
    std::filesystem::path file = folder.Path() / name;
    {
        std::ofstream out(file, std::ios::binary);
        if (!out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()))) {
            diagnostics.Error(sign.place, "cannot write '" + file.string() + "' for signing: " + std::strerror(errno));
            return std::nullopt;
        }
    }
    std::string command = ExpandSignCommand(sign.command, file.string());
    progress.Line("signing " + name + ": " + command);
    std::string error;
    int status = RunShell(command, sign.folder, error);
    if (status != 0) {
        diagnostics.Error(sign.place, "the sign command failed on " + name + " (" +
                                          (status < 0 ? error : "exit code " + std::to_string(status)) + "): " + command);
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> signedImage((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        diagnostics.Error(sign.place, "cannot read back '" + file.string() + "' after signing");
        return std::nullopt;
    }
    if (!CarriesSignature(signedImage)) {
        diagnostics.Error(sign.place, "the sign command left " + name +
                                          " without a signature (it must sign {file} in place): " + command);
        return std::nullopt;
    }
    return signedImage;
}

}  // namespace palisade::tools
