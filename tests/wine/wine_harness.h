// Runs the real installer under Wine and reads back what it did: exit code,
// debug output, files in the prefix, registry, windows and screenshots.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace palisade::wine {

struct RunOptions {
    std::vector<std::string> arguments;
    std::chrono::seconds timeout{600};
    bool captureDebugOutput = true;  // WINEDEBUG=-all,warn+seh instead of -all
    std::vector<std::pair<std::string, std::string>> environment;
};

struct RunResult {
    int exitCode = -1;    // as Wine reports it to Linux: the low 8 bits
    bool timedOut = false;
    std::string debugOutput;  // the program's debug strings, pieces joined (UTF-8)
    std::string stdoutText;   // what the program wrote to its standard output
    std::string stderrText;   // everything Wine printed
};

// The prefix every test shares; created by the fixture test before any test runs.
std::filesystem::path Prefix();
std::filesystem::path BuildDir();
std::filesystem::path StubPath();
// The probe: a console program that runs single pieces of the stub's Win32
// code (tests/wine/probe); `palisade-probe.exe COMMAND ARGS...`.
std::filesystem::path ProbePath();
std::filesystem::path ArtefactDir();  // screenshots and logs kept after the run

// Maps a Windows path such as C:\Program Files\App to the prefix's drive_c.
std::filesystem::path HostPath(const std::string& windowsPath);

// Runs `exe` (a host path) under Wine and waits for it.
RunResult RunProgram(const std::filesystem::path& exe, const RunOptions& options = {});

inline RunOptions WithArguments(std::vector<std::string> arguments) {
    RunOptions options;
    options.arguments = std::move(arguments);
    return options;
}

// Starts `exe` under Wine without waiting; Wait() collects the result.
class BackgroundRun {
public:
    BackgroundRun(const std::filesystem::path& exe, const RunOptions& options);
    ~BackgroundRun();
    bool Finished();
    RunResult Wait(std::chrono::seconds timeout);

private:
    int m_pid = -1;
    std::filesystem::path m_stdoutFile;
    std::filesystem::path m_stderrFile;
    std::optional<RunResult> m_result;
};

// Joins the program's OutputDebugString pieces found in Wine's debug log.
std::string ExtractDebugOutput(const std::string& wineLog);

// `wine reg query` in the given view ("32" or "64"); nullopt when the value is missing.
std::optional<std::string> RegQueryValue(const std::string& key, const std::string& value,
                                         const std::string& view = "32");
// `wine reg <arguments> /f /reg:32`: adds or deletes without asking.
void RegChange(std::vector<std::string> arguments);
// `wine reg export` of a key, as UTF-8 text.
std::string RegExport(const std::string& key, const std::string& view = "32");

// Names of the top-level X windows now on the display.
std::vector<std::string> TopLevelWindowNames();
// Saves a screenshot of the whole display as ArtefactDir()/name.png.
bool Screenshot(const std::string& name);
// Whether a top-level window with this exact name exists.
bool WindowShown(const std::string& name);
// Waits (at most three minutes) for a window with this exact name while
// `run` goes on; false when the run ended or time ran out first.
bool WaitForWindow(const std::string& name, BackgroundRun& run);
// Presses `key` in the box called `name` until the box goes, trying five
// times (a key pressed before the box takes the focus is lost).
bool AnswerWindow(const std::string& name, const std::string& key);
// Presses a key in the X window with this exact name.
bool PressKeyInWindow(const std::string& windowName, const std::string& key);

}  // namespace palisade::wine
