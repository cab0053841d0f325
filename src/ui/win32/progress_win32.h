// The progress operations of the installer and the uninstaller, and the
// progress page they move: a modeless page with the bar, the status line and
// Cancel. Updates also process the waiting window messages, at most every
// few milliseconds, which keeps the page alive while the work runs on the
// main thread; before the page exists, in silent runs and without the page
// flag, that is all an update does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/progress.h"

namespace palisade {

class ProgressPage;

class Win32Progress final : public ProgressReporter {
public:
    // `message` gives catalogue texts for SetStatusMessage.
    explicit Win32Progress(std::function<std::u16string(int)> message);
    ~Win32Progress() override;

    // Opens the page (not in silent runs, not without the progress-page
    // flag). `cancel` is the run's cancel path, taken when the user confirms
    // a click on Cancel; it does not return.
    void ShowPage(bool uninstalling, std::function<void()> cancel);

    void SetProgress(int percent) override;
    void SetStatusMessage(int message) override;
    void SetStatusText(std::u16string_view text) override;
    bool PumpMessages() override;
    void KeepPainted() override;

    // Milliseconds since the status line last changed to a catalogue message.
    DWORD SinceStatusChange() const { return ::GetTickCount() - m_statusTick; }

private:
    void PumpWhenDue();

    std::function<std::u16string(int)> m_message;
    std::unique_ptr<ProgressPage> m_page;
    DWORD m_statusTick = ::GetTickCount();
    DWORD m_pumpTick = 0;
    bool m_pumpedOnce = false;
    int m_postedPercent = -1;
    bool m_endRequested = false;
};

}  // namespace palisade
