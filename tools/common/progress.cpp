// Progress lines on stderr for long builds; silent with -q.
#include "common/progress.h"

#include <unistd.h>

#include <cstdio>

namespace palisade::tools {

std::string ByteCount(std::uint64_t bytes) {
    char text[32];
    if (bytes < 1024) {
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
    } else if (bytes < 1024 * 1024) {
        std::snprintf(text, sizeof text, "%.1f KiB", double(bytes) / 1024);
    } else {
        std::snprintf(text, sizeof text, "%.1f MiB", double(bytes) / (1024 * 1024));
    }
    return text;
}

Progress::Progress(bool quiet) : m_quiet(quiet), m_terminal(isatty(STDERR_FILENO) != 0) {}

Progress::~Progress() { StopTicker(); }

void Progress::Write(const std::string& text, bool replaceable) {
    if (m_quiet) return;
    if (m_lineOpen) std::fputs(m_terminal ? "\r\033[K" : "\n", stderr);
    std::fputs(text.c_str(), stderr);
    m_lineOpen = replaceable && m_terminal;
    if (!m_lineOpen) std::fputc('\n', stderr);
    std::fflush(stderr);
}

void Progress::Line(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Write(text, false);
}

void Progress::Update(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Only a terminal can redraw a line; elsewhere (CI logs) intermediate states are noise.
    if (!m_terminal) return;
    auto now = std::chrono::steady_clock::now();
    if (now - m_lastUpdate < std::chrono::milliseconds(200)) return;
    m_lastUpdate = now;
    Write(text, true);
}

void Progress::Finish(const std::string& text) { Line(text); }

void Progress::Warning(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Warnings are shown even with -q: they point at a likely mistake.
    if (m_lineOpen) std::fputs("\n", stderr);
    m_lineOpen = false;
    std::fprintf(stderr, "warning: %s\n", text.c_str());
}

void Progress::StartTicker(const std::string& text) {
    if (m_quiet || !m_terminal) {
        Line(text);
        return;
    }
    StopTicker();
    m_tickerRunning = true;
    m_ticker = std::thread([this, text] {
        auto start = std::chrono::steady_clock::now();
        std::unique_lock<std::mutex> lock(m_mutex);
        while (m_tickerRunning) {
            auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
            Write(text + " " + std::to_string(seconds.count()) + " s", true);
            m_stop.wait_for(lock, std::chrono::seconds(1));
        }
    });
}

void Progress::StopTicker() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_tickerRunning) return;
        m_tickerRunning = false;
    }
    m_stop.notify_all();
    m_ticker.join();
}

}  // namespace palisade::tools
