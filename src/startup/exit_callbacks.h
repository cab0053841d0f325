// Callbacks run once on the narrow fatal path, newest first.
#pragma once

#include <functional>
#include <vector>

namespace palisade {

class ExitCallbacks {
public:
    static constexpr std::size_t kMaxCallbacks = 100;

    // False when the list is full; the callback is then not kept.
    bool Register(std::function<void()> callback);
    // Runs every callback not yet run, most recently registered first. An
    // exception thrown by a callback is swallowed: the run is ending anyway.
    void RunAll();

private:
    struct Entry {
        std::function<void()> callback;
        bool done = false;
    };
    std::vector<Entry> m_entries;
};

}  // namespace palisade
