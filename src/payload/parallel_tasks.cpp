// Runs numbered independent tasks on several threads (the builder's chunk compression).
#include "payload/parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <vector>

// The stub's cross toolchain (mingw with win32 threads) has no std::thread;
// the stub never compresses, so there the tasks simply run one after another.
#if defined(_WIN32) && !defined(_GLIBCXX_HAS_GTHREADS)
#define PALISADE_NO_THREADS 1
#else
#include <thread>
#endif

namespace palisade {

void RunParallelTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task) {
#ifdef PALISADE_NO_THREADS
    (void)threads;
    for (std::size_t i = 0; i < count; ++i) task(i);
#else
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    std::size_t workerCount = std::min<std::size_t>(threads, count);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) task(i);
    };
    std::vector<std::thread> workers;
    for (std::size_t w = 1; w < workerCount; ++w) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
#endif
}

}  // namespace palisade
