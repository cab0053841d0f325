// The progress operations of the Windows installer. The progress page itself
// belongs to the wizard; until it is shown every update only processes the
// waiting window messages, which is also all a silent run needs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/progress.h"

namespace palisade {

class Win32Progress final : public ProgressReporter {
public:
    // `message` gives catalogue texts for SetStatusMessage.
    explicit Win32Progress(std::function<std::u16string(int)> message) : m_message(std::move(message)) {}

    void SetProgress(int percent) override;
    void SetStatusMessage(int message) override;
    void SetStatusText(std::u16string_view text) override;
    bool PumpMessages() override;

    // The page, once the wizard has created it (null: none).
    void AttachPage(HWND page, HWND bar, HWND status);
    // Milliseconds since the status line last changed to a catalogue message.
    DWORD SinceStatusChange() const { return ::GetTickCount() - m_statusTick; }

private:
    std::function<std::u16string(int)> m_message;
    HWND m_page = nullptr;
    HWND m_bar = nullptr;
    HWND m_status = nullptr;
    DWORD m_statusTick = ::GetTickCount();
    bool m_endRequested = false;
};

}  // namespace palisade
