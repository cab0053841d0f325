// Processing the window messages waiting for the calling thread.
#include "core/win32/message_pump.h"

#include <windows.h>

namespace palisade {

bool PumpWaitingMessages() {
    bool quit = false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) quit = true;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return quit;
}

}  // namespace palisade
