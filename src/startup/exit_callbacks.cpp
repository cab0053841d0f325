// Callbacks run once on the narrow fatal path, newest first.
#include "startup/exit_callbacks.h"

namespace palisade {

bool ExitCallbacks::Register(std::function<void()> callback) {
    if (m_entries.size() >= kMaxCallbacks) return false;
    m_entries.push_back({std::move(callback), false});
    return true;
}

void ExitCallbacks::RunAll() {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->done) continue;
        it->done = true;
        try {
            it->callback();
        } catch (...) {
        }
    }
}

}  // namespace palisade
