// Runs the real installer under Wine and reads back what it did.
#include "wine_harness.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace palisade::wine {

namespace fs = std::filesystem;

fs::path BuildDir() { return PALISADE_BUILD_DIR; }
fs::path Prefix() { return BuildDir() / "wineprefix"; }
fs::path StubPath() { return PALISADE_STUB_PATH; }
fs::path ProbePath() { return StubPath().parent_path() / "palisade-probe.exe"; }
fs::path ArtefactDir() {
    fs::path dir = BuildDir() / "test-artefacts";
    fs::create_directories(dir);
    return dir;
}

fs::path HostPath(const std::string& windowsPath) {
    std::string rest = windowsPath.size() >= 3 ? windowsPath.substr(3) : "";
    for (char& c : rest) {
        if (c == '\\') c = '/';
    }
    return Prefix() / "drive_c" / rest;
}

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The environment every Wine run gets: the shared prefix, no desktop
// integration (it would write outside the prefix), no proxies.
std::vector<std::string> WineEnvironment(const RunOptions& options) {
    std::vector<std::pair<std::string, std::string>> settings = {
        {"WINEPREFIX", Prefix().string()},
        {"WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree,mshtml="},
        {"WINEDEBUG", options.captureDebugOutput ? "-all,warn+seh" : "-all"},
    };
    for (const auto& extra : options.environment) {
        auto same = std::find_if(settings.begin(), settings.end(), [&](const auto& s) { return s.first == extra.first; });
        if (same != settings.end()) {
            same->second = extra.second;
        } else {
            settings.push_back(extra);
        }
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        bool replaced = name == "http_proxy" || name == "https_proxy" || name == "HTTP_PROXY" ||
                        name == "HTTPS_PROXY";
        for (const auto& setting : settings) replaced = replaced || setting.first == name;
        if (!replaced) env.push_back(entry);
    }
    for (const auto& setting : settings) env.push_back(setting.first + "=" + setting.second);
    return env;
}

int Spawn(const fs::path& exe, const RunOptions& options, const fs::path& stdoutFile,
          const fs::path& stderrFile) {
    std::vector<std::string> args = {"wine", exe.string()};
    args.insert(args.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = WineEnvironment(options);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, "wine", &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return rc == 0 ? pid : -1;
}

fs::path NewOutputFile(const char* kind) {
    static int counter = 0;
    return ArtefactDir() / ("wine-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "." + kind);
}

int RunCommand(const std::string& command, std::string* output) {
    std::string full = "WINEPREFIX=" + ShellQuote(Prefix().string()) +
                       " WINEDEBUG=-all WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree,mshtml=' " + command;
    FILE* pipe = ::popen(full.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (output) output->append(buffer, n);
    }
    int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string ExtractDebugOutput(const std::string& wineLog) {
    static const std::string kMarker = ":warn:seh:OutputDebugStringA \"";
    std::string joined;
    std::istringstream lines(wineLog);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t at = line.find(kMarker);
        if (at == std::string::npos) continue;
        std::size_t i = at + kMarker.size();
        std::size_t end = line.rfind('"');
        if (end == std::string::npos || end < i) continue;
        while (i < end) {
            char c = line[i++];
            if (c != '\\' || i >= end) {
                joined += c;
                continue;
            }
            char e = line[i++];
            switch (e) {
                case 'n': joined += '\n'; break;
                case 'r': joined += '\r'; break;
                case 't': joined += '\t'; break;
                case 'x':
                case 'u': {
                    std::size_t digits = e == 'x' ? 2 : 4;
                    unsigned long cp = std::stoul(line.substr(i, digits), nullptr, 16);
                    i += digits;
                    // Encode as UTF-8 so that tests compare with UTF-8 literals.
                    if (cp < 0x80) joined += char(cp);
                    else if (cp < 0x800) { joined += char(0xC0 | (cp >> 6)); joined += char(0x80 | (cp & 0x3F)); }
                    else { joined += char(0xE0 | (cp >> 12)); joined += char(0x80 | ((cp >> 6) & 0x3F)); joined += char(0x80 | (cp & 0x3F)); }
                    break;
                }
                default: joined += e; break;
            }
        }
    }
    return joined;
}

BackgroundRun::BackgroundRun(const fs::path& exe, const RunOptions& options)
    : m_stdoutFile(NewOutputFile("out")), m_stderrFile(NewOutputFile("log")) {
    m_pid = Spawn(exe, options, m_stdoutFile, m_stderrFile);
}

BackgroundRun::~BackgroundRun() {
    if (m_pid > 0 && !m_result) {
        ::kill(-m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool BackgroundRun::Finished() {
    if (m_result) return true;
    int status = 0;
    if (m_pid <= 0) return true;
    pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done != m_pid) return false;
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.stdoutText = ReadFile(m_stdoutFile);
    result.stderrText = ReadFile(m_stderrFile);
    result.debugOutput = ExtractDebugOutput(result.stderrText);
    m_result = result;
    return true;
}

RunResult BackgroundRun::Wait(std::chrono::seconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Finished()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            RunResult result;
            result.timedOut = true;
            result.stderrText = ReadFile(m_stderrFile);
            result.debugOutput = ExtractDebugOutput(result.stderrText);
            m_result = result;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return *m_result;
}

RunResult RunProgram(const fs::path& exe, const RunOptions& options) {
    BackgroundRun run(exe, options);
    return run.Wait(options.timeout);
}

std::optional<std::string> RegQueryValue(const std::string& key, const std::string& value,
                                         const std::string& view) {
    std::string output;
    int rc = RunCommand("wine reg query " + ShellQuote(key) + " /v " + ShellQuote(value) +
                            " /reg:" + view + " 2>/dev/null",
                        &output);
    if (rc != 0) return std::nullopt;
    // Lines look like "    Name    REG_SZ    data".
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t type = line.find("    REG_");
        if (type == std::string::npos) continue;
        std::size_t data = line.find("    ", type + 4);
        return data == std::string::npos ? std::string() : line.substr(data + 4);
    }
    return std::nullopt;
}

void RegChange(std::vector<std::string> arguments) {
    arguments.push_back("/f");
    arguments.push_back("/reg:32");
    RunProgram("reg", WithArguments(std::move(arguments)));
}

std::string RegExport(const std::string& key, const std::string& view) {
    fs::path file = ArtefactDir() / ("export-" + std::to_string(::getpid()) + ".reg");
    std::string windowsFile = "Z:" + file.string();
    for (char& c : windowsFile) {
        if (c == '/') c = '\\';
    }
    RunCommand("wine reg export " + ShellQuote(key) + " " + ShellQuote(windowsFile) + " /y /reg:" + view +
                   " >/dev/null 2>&1",
               nullptr);
    std::string raw = ReadFile(file);
    fs::remove(file);
    // reg export writes UTF-16LE with a byte-order mark; tests compare ASCII keys.
    std::string text;
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
        unsigned cp = std::uint8_t(raw[i]) | (std::uint8_t(raw[i + 1]) << 8);
        text += cp < 0x80 ? char(cp) : '?';
    }
    return text;
}

std::vector<std::string> TopLevelWindowNames() {
    std::string output;
    RunCommand("xwininfo -root -children 2>/dev/null", &output);
    std::vector<std::string> names;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t open = line.find(" \"");
        std::size_t close = line.rfind("\":");
        if (open != std::string::npos && close != std::string::npos && close > open + 1) {
            names.push_back(line.substr(open + 2, close - open - 2));
        }
    }
    return names;
}

bool Screenshot(const std::string& name) {
    fs::path file = ArtefactDir() / (name + ".png");
    return RunCommand("import -window root " + ShellQuote(file.string()) + " 2>/dev/null", nullptr) == 0;
}

namespace {

// xdotool takes a regular expression; a window name is matched literally.
std::string LiteralPattern(const std::string& text) {
    std::string pattern;
    for (char c : text) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

}  // namespace

bool PressKeyInWindow(const std::string& windowName, const std::string& key) {
    return RunCommand("xdotool search --name " + ShellQuote("^" + LiteralPattern(windowName) + "$") +
                          " windowfocus key --clearmodifiers " + ShellQuote(key) + " 2>/dev/null",
                      nullptr) == 0;
}

bool WindowShown(const std::string& name) {
    std::vector<std::string> names = TopLevelWindowNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool WaitForWindow(const std::string& name, BackgroundRun& run) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (std::chrono::steady_clock::now() < deadline && !run.Finished()) {
        if (WindowShown(name)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

bool AnswerWindow(const std::string& name, const std::string& key) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        PressKeyInWindow(name, key);
        for (int i = 0; i < 20 && WindowShown(name); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(250));
        if (!WindowShown(name)) return true;
    }
    return false;
}

}  // namespace palisade::wine
