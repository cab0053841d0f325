// Runs the real installer under Wine and reads back what it did: exit code,
// debug output, files in the prefix, registry, windows and screenshots.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
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

// ---- Windows of the programs under test (wine_harness_gui.cpp) ----

// An X server of the test's own, made the display of every program the test
// starts, so that GUI tests can run beside each other: their windows,
// screenshots and key presses never meet. Gone with the object.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;
    bool Ready() const { return m_ready; }

private:
    int m_pid = -1;
    std::string m_previous;
    bool m_ready = false;
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};
bool operator==(const PixelRect& a, const PixelRect& b);
std::ostream& operator<<(std::ostream& out, const PixelRect& r);

// One child control as the spy saw it.
struct SpyControl {
    int id = 0;
    std::string className;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    bool enabled = false;
    bool visible = false;
    int checked = 0;
    PixelRect rect;   // pixels in the parent's client area
    PixelRect units;  // the same in dialog units
    std::string text;  // UTF-8
    int selected = -1;  // list boxes
    std::vector<std::string> items;
};

struct SpyWindow {
    std::uintptr_t handle = 0;
    std::string className;
    std::string title;
    PixelRect rect;    // on the screen, with the frame
    PixelRect client;  // on the screen
    int baseX = 0, baseY = 0;
    bool enabled = false;
    std::vector<SpyControl> controls;  // in z-order, the top first

    const SpyControl* Find(int id) const;
    // The control `id`. A window without it fails the test and gives an
    // empty control, so that a page that did not come up is reported, not a
    // crash of the test program.
    const SpyControl& Control(int id) const;
};

// The spy (tests/wine/spy): a program in the prefix that finds windows of the
// program under test, lists their controls and works them. One per test.
class Spy {
public:
    Spy();
    ~Spy();
    Spy(const Spy&) = delete;
    Spy& operator=(const Spy&) = delete;

    // Only windows of the process started from `exeName` (a file name) count
    // from now on; the process is looked up again while waiting for a window.
    void Follow(const std::string& exeName);
    // A visible top-level window of that class ("#32770" for dialogs) and
    // title ("*": any) within `timeout`.
    std::optional<std::uintptr_t> WaitFor(const std::string& className, const std::string& title,
                                          std::chrono::milliseconds timeout = std::chrono::seconds(120));
    bool WaitGone(std::uintptr_t window, std::chrono::milliseconds timeout = std::chrono::seconds(60));
    std::vector<SpyWindow> Windows();
    // The window and its controls, rectangles also in dialog units of this font.
    SpyWindow Describe(std::uintptr_t window, const std::string& face = "MS Shell Dlg 2", int points = 10);
    bool Click(std::uintptr_t window, int id);
    bool Command(std::uintptr_t window, int id);
    void SetText(std::uintptr_t window, int id, const std::string& text);
    void Select(std::uintptr_t window, int id, int index);
    void Scroll(std::uintptr_t window, int id, bool toBottom);
    // Posts a key press (a virtual-key code) to a control, or to the window with id 0.
    void Key(std::uintptr_t window, int id, int virtualKey);
    void Close(std::uintptr_t window);
    std::optional<int> FocusedControl(std::uintptr_t window);
    int Position(std::uintptr_t window, int id);

    // One command line; the answer's lines.
    std::vector<std::string> Send(const std::string& line);

private:
    int m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
    std::string m_exe;
};

std::filesystem::path SpyPath();

// A spy argument in double quotes.
std::string SpyQuoted(const std::string& text);

// The screen's pixels (from `import -window root`), 0x00BBGGRR like a COLORREF.
class ScreenPixels {
public:
    static std::optional<ScreenPixels> Capture();
    std::uint32_t At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_rgb;
};

// Saves a screenshot of `rect` (grown by `margin` and kept on the screen) as
// ArtefactDir()/name.png.
bool ScreenshotOf(const std::string& name, const PixelRect& rect, int margin);

}  // namespace palisade::wine
