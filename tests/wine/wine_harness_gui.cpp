// The GUI side of the harness: a private X server per test, the spy that
// works the windows of the program under test, and the screen's pixels.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "wine_harness.h"

extern char** environ;

namespace palisade::wine {

namespace fs = std::filesystem;

namespace {

// Output line by line: ctest reads it through a pipe, and a test program that
// crashes would otherwise lose the failures it had already printed.
[[maybe_unused]] const int kLineBufferedOutput = std::setvbuf(stdout, nullptr, _IOLBF, 0);

pid_t SpawnWith(const std::vector<std::string>& args, posix_spawn_file_actions_t* actions) {
    std::vector<char*> argv;
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0], actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return rc == 0 ? pid : -1;
}

// key=value pairs of a spy line; values may be quoted (with \r \n \" \\ escapes).
std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        std::size_t equals = line.find('=', i);
        std::size_t space = line.find(' ', i);
        if (equals == std::string::npos || (space != std::string::npos && space < equals)) {
            i = space == std::string::npos ? line.size() : space;
            continue;
        }
        std::string key = line.substr(i, equals - i);
        std::string value;
        i = equals + 1;
        // A quoted value, or several joined by "|" (list items).
        while (i < line.size() && line[i] != ' ') {
            if (line[i] != '"') {
                value += line[i++];
                continue;
            }
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    char e = line[++i];
                    value += e == 'r' ? '\r' : e == 'n' ? '\n' : e;
                } else {
                    value += line[i];
                }
            }
            ++i;
        }
        fields[key] = value;
    }
    return fields;
}

PixelRect ParseRect(const std::string& text) {
    PixelRect r;
    std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height);
    return r;
}

std::string Hex(std::uintptr_t value) {
    std::ostringstream out;
    out << std::hex << value;
    return out.str();
}

}  // namespace

bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
    return out << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

PrivateDisplay::PrivateDisplay() {
    const char* previous = std::getenv("DISPLAY");
    m_previous = previous ? previous : "";
    for (int attempt = 0; attempt < 50 && !m_ready; ++attempt) {
        int number = 200 + int((::getpid() * 7 + attempt * 13) % 700);
        if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        m_pid = SpawnWith({"Xvfb", ":" + std::to_string(number), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                          &actions);
        posix_spawn_file_actions_destroy(&actions);
        if (m_pid <= 0) return;
        const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int wait = 0; wait < 100 && !fs::exists(socket); ++wait) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (fs::exists(socket)) {
            ::setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
            m_ready = true;
        } else {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
}

PrivateDisplay::~PrivateDisplay() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_previous.empty()) {
        ::unsetenv("DISPLAY");
    } else {
        ::setenv("DISPLAY", m_previous.c_str(), 1);
    }
}

const SpyControl* SpyWindow::Find(int id) const {
    for (const SpyControl& control : controls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

const SpyControl& SpyWindow::Control(int id) const {
    if (const SpyControl* control = Find(id)) return *control;
    ADD_FAILURE() << "window \"" << title << "\" (" << handle << ") has no control " << id;
    static const SpyControl kMissing;
    return kMissing;
}

fs::path SpyPath() { return fs::path(PALISADE_FIXTURE_DIR) / "palisade_spy.exe"; }

std::string SpyQuoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

Spy::Spy() {
    int toSpy[2], fromSpy[2];
    if (::pipe(toSpy) != 0 || ::pipe(fromSpy) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toSpy[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromSpy[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, toSpy[1]);
    posix_spawn_file_actions_addclose(&actions, fromSpy[0]);
    ::setenv("WINEPREFIX", Prefix().c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree,mshtml=", 1);
    m_pid = SpawnWith({"wine", SpyPath().string()}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toSpy[0]);
    ::close(fromSpy[1]);
    m_in = toSpy[1];
    m_out = fromSpy[0];
}

Spy::~Spy() {
    if (m_in >= 0) {
        Send("quit");
        ::close(m_in);
    }
    if (m_out >= 0) ::close(m_out);
    if (m_pid > 0) {
        for (int i = 0; i < 50 && ::waitpid(m_pid, nullptr, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(-m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, WNOHANG);
    }
}

std::vector<std::string> Spy::Send(const std::string& line) {
    std::vector<std::string> answer;
    if (m_in < 0) return answer;
    std::string command = line + "\n";
    if (::write(m_in, command.data(), command.size()) != ssize_t(command.size())) return answer;
    while (true) {
        std::size_t end;
        while ((end = m_buffer.find('\n')) != std::string::npos) {
            std::string got = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            if (!got.empty() && got.back() == '\r') got.pop_back();
            if (got == ".") return answer;
            answer.push_back(got);
        }
        char chunk[4096];
        ssize_t n = ::read(m_out, chunk, sizeof chunk);
        if (n <= 0) return answer;
        m_buffer.append(chunk, std::size_t(n));
    }
}

void Spy::Follow(const std::string& exeName) {
    m_exe = exeName;
    Send("attach " + SpyQuoted(exeName));
}

std::optional<std::uintptr_t> Spy::WaitFor(const std::string& className, const std::string& title,
                                           std::chrono::milliseconds timeout) {
    std::string line = "wait " + std::to_string(timeout.count()) + " " + SpyQuoted(className) + " " + SpyQuoted(title);
    if (!m_exe.empty()) line += " " + SpyQuoted(m_exe);
    for (const std::string& got : Send(line)) {
        if (got.rfind("window ", 0) == 0) return std::uintptr_t(std::stoull(got.substr(7), nullptr, 16));
    }
    return std::nullopt;
}

bool Spy::WaitGone(std::uintptr_t window, std::chrono::milliseconds timeout) {
    std::vector<std::string> answer = Send("gone " + std::to_string(timeout.count()) + " " + Hex(window));
    return !answer.empty() && answer.back() == "gone";
}

std::vector<SpyWindow> Spy::Windows() {
    std::vector<SpyWindow> windows;
    if (!m_exe.empty()) Send("attach " + SpyQuoted(m_exe));  // the program may have started since
    for (const std::string& line : Send("windows")) {
        if (line.rfind("window ", 0) != 0) continue;
        std::map<std::string, std::string> f = Fields(line);
        SpyWindow window;
        window.handle = std::uintptr_t(std::stoull(line.substr(7), nullptr, 16));
        window.className = f["class"];
        window.title = f["title"];
        window.rect = ParseRect(f["rect"]);
        windows.push_back(window);
    }
    return windows;
}

SpyWindow Spy::Describe(std::uintptr_t handle, const std::string& face, int points) {
    SpyWindow window;
    for (const std::string& line : Send("describe " + Hex(handle) + " " + SpyQuoted(face) + " " + std::to_string(points))) {
        std::map<std::string, std::string> f = Fields(line);
        if (line.rfind("window ", 0) == 0) {
            window.handle = handle;
            window.className = f["class"];
            window.title = f["title"];
            window.rect = ParseRect(f["rect"]);
            window.client = ParseRect(f["client"]);
            std::sscanf(f["base"].c_str(), "%d,%d", &window.baseX, &window.baseY);
            window.enabled = f["enabled"] == "1";
        } else if (line.rfind("control ", 0) == 0) {
            SpyControl control;
            control.id = std::atoi(f["id"].c_str());
            control.className = f["class"];
            control.style = std::uint32_t(std::stoul(f["style"], nullptr, 16));
            control.exStyle = std::uint32_t(std::stoul(f["exstyle"], nullptr, 16));
            control.enabled = f["enabled"] == "1";
            control.visible = f["visible"] == "1";
            control.checked = std::atoi(f["checked"].c_str());
            control.rect = ParseRect(f["rect"]);
            control.units = ParseRect(f["du"]);
            control.text = f["text"];
            if (f.count("selected")) control.selected = std::atoi(f["selected"].c_str());
            if (f.count("items")) {
                // The spy joins quoted items with "|".
                std::string all = line.substr(line.find(" items=") + 7);
                std::string current;
                bool inside = false;
                for (std::size_t i = 0; i < all.size(); ++i) {
                    char c = all[i];
                    if (c == '"') {
                        if (inside) control.items.push_back(current), current.clear();
                        inside = !inside;
                    } else if (inside) {
                        if (c == '\\' && i + 1 < all.size()) c = all[++i];
                        current += c;
                    }
                }
            }
            window.controls.push_back(control);
        }
    }
    return window;
}

namespace {
bool Ok(const std::vector<std::string>& answer) { return !answer.empty() && answer.back() == "ok"; }
}  // namespace

bool Spy::Click(std::uintptr_t window, int id) { return Ok(Send("click " + Hex(window) + " " + std::to_string(id))); }
bool Spy::Command(std::uintptr_t window, int id) {
    return Ok(Send("command " + Hex(window) + " " + std::to_string(id)));
}
void Spy::SetText(std::uintptr_t window, int id, const std::string& text) {
    Send("settext " + Hex(window) + " " + std::to_string(id) + " " + SpyQuoted(text));
}
void Spy::Select(std::uintptr_t window, int id, int index) {
    Send("select " + Hex(window) + " " + std::to_string(id) + " " + std::to_string(index));
}
void Spy::Scroll(std::uintptr_t window, int id, bool toBottom) {
    Send("scroll " + Hex(window) + " " + std::to_string(id) + (toBottom ? " bottom" : " top"));
}
void Spy::Key(std::uintptr_t window, int id, int virtualKey) {
    Send("key " + Hex(window) + " " + std::to_string(id) + " " + std::to_string(virtualKey));
}
void Spy::Close(std::uintptr_t window) { Send("close " + Hex(window)); }

std::optional<int> Spy::FocusedControl(std::uintptr_t window) {
    // A thread has a focus control only while its window is active, and the
    // Wine tests that run beside the GUI tests may show windows of their own:
    // wait a little, then give the window the activation back once.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::vector<std::string> answer = Send("focus " + Hex(window));
        if (!answer.empty() && answer.back().rfind("focus ", 0) == 0) return std::atoi(answer.back().c_str() + 6);
        if (attempt == 4) Send("activate " + Hex(window));
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return std::nullopt;
}

int Spy::Position(std::uintptr_t window, int id) {
    std::vector<std::string> answer = Send("position " + Hex(window) + " " + std::to_string(id));
    return answer.empty() || answer.back().rfind("position ", 0) != 0 ? -1 : std::atoi(answer.back().c_str() + 9);
}

std::optional<ScreenPixels> ScreenPixels::Capture() {
    FILE* pipe = ::popen("import -window root -depth 8 ppm:- 2>/dev/null", "r");
    if (pipe == nullptr) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) bytes.append(chunk, n);
    ::pclose(pipe);
    // "P6\n<width> <height>\n<max>\n" then RGB triples.
    std::istringstream header(bytes);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    header >> magic >> width >> height >> maximum;
    if (magic != "P6" || width <= 0 || height <= 0 || maximum != 255) return std::nullopt;
    std::size_t start = std::size_t(header.tellg()) + 1;
    if (bytes.size() < start + std::size_t(width) * height * 3) return std::nullopt;
    ScreenPixels pixels;
    pixels.m_width = width;
    pixels.m_height = height;
    pixels.m_rgb.assign(bytes.begin() + std::ptrdiff_t(start), bytes.begin() + std::ptrdiff_t(start + std::size_t(width) * height * 3));
    return pixels;
}

std::uint32_t ScreenPixels::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xFFFFFFFF;
    const std::uint8_t* p = &m_rgb[(std::size_t(y) * m_width + x) * 3];
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
}

bool ScreenshotOf(const std::string& name, const PixelRect& rect, int margin) {
    int x = std::max(0, rect.x - margin), y = std::max(0, rect.y - margin);
    int width = rect.width + 2 * margin, height = rect.height + 2 * margin;
    fs::path file = ArtefactDir() / (name + ".png");
    std::string command = "import -window root -crop " + std::to_string(width) + "x" + std::to_string(height) + "+" +
                          std::to_string(x) + "+" + std::to_string(y) + " +repage '" + file.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

}  // namespace palisade::wine
