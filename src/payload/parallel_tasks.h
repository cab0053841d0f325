// Runs numbered independent tasks on several threads (the builder's chunk compression).
#pragma once

#include <cstddef>
#include <functional>

namespace palisade {

// Calls task(0) .. task(count - 1), each once, on up to `threads` threads (0:
// one per processor core). Returns when all have finished. Tasks must not
// throw and must only write to state of their own index.
void RunParallelTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task);

}  // namespace palisade
