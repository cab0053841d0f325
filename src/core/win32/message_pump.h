// Processing the window messages waiting for the calling thread, so that the
// program's windows stay responsive while the main thread works or waits.
#pragma once

namespace palisade {

// Dispatches every waiting message; true when WM_QUIT was among them.
bool PumpWaitingMessages();

}  // namespace palisade
