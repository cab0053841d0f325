// The progress operations every installation step reports through. Each one
// also processes the window messages waiting for the main thread, so the
// wizard stays responsive while the work runs on that thread.
#pragma once

#include <string_view>

namespace palisade {

class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    // Moves the bar to `percent` (0..100).
    virtual void SetProgress(int percent) = 0;
    // Shows catalogue message `message` as the status line and restarts the
    // status-delay clock.
    virtual void SetStatusMessage(int message) = 0;
    // Shows a path (or other wide text) as the status line.
    virtual void SetStatusText(std::u16string_view text) = 0;
    // Processes pending messages; true when the process was asked to end.
    virtual bool PumpMessages() = 0;
    // Lets the windows repaint and answers what other programs send, but
    // takes no input: for a long stretch of work inside which a Cancel could
    // not be honoured (a large file's write). The input waits for the next
    // PumpMessages.
    virtual void KeepPainted() = 0;
};

// Reports nowhere: for native tests and for steps run without a page.
class SilentProgress final : public ProgressReporter {
public:
    void SetProgress(int percent) override { lastPercent = percent; }
    void SetStatusMessage(int message) override { lastMessage = message; }
    void SetStatusText(std::u16string_view) override {}
    bool PumpMessages() override { return false; }
    void KeepPainted() override {}

    int lastPercent = 0;
    int lastMessage = 0;
};

}  // namespace palisade
