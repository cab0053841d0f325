// Runs a call into foreign or fragile code so that a processor fault inside it
// (access violation and the like) is survived and reported instead of ending
// the run. mingw's GCC has no __try/__except, so a vectored handler jumps back.
#pragma once

#include <cstdint>
#include <functional>

namespace palisade {

struct GuardedResult {
    bool faulted = false;
    std::uint32_t exceptionCode = 0;  // when faulted
};

// Calls `call` on this thread. Objects with destructors created inside `call`
// are not unwound when it faults: keep the guarded piece small and plain.
GuardedResult RunGuarded(const std::function<void()>& call);

}  // namespace palisade
