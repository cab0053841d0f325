// Progress lines on stderr for long builds; silent with -q.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace palisade::tools {

std::string ByteCount(std::uint64_t bytes);  // "12.3 MiB"

class Progress {
public:
    explicit Progress(bool quiet);
    ~Progress();

    bool Quiet() const { return m_quiet; }
    // A line of its own ("reading files ...").
    void Line(const std::string& text);
    // A line that the next Update or Line replaces on a terminal; printed at
    // most every 200 ms, so callers may call it for every file.
    void Update(const std::string& text);
    // Ends the line Update left open.
    void Finish(const std::string& text);
    void Warning(const std::string& text);

    // While a long step runs without reporting, shows "<text> N s" once a second.
    void StartTicker(const std::string& text);
    void StopTicker();

private:
    void Write(const std::string& text, bool replaceable);

    bool m_quiet;
    bool m_terminal;
    bool m_lineOpen = false;
    std::chrono::steady_clock::time_point m_lastUpdate{};
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_tickerRunning = false;
    std::thread m_ticker;
};

}  // namespace palisade::tools
