// The decoder's progress reports, thinned out to one per interval.
#include <chrono>
#include <utility>

#include "payload/xz_codec.h"

namespace palisade {
namespace {
constexpr auto kInterval = std::chrono::milliseconds(201);
}  // namespace

XzProgress EveryInterval(XzProgress progress) {
    auto lastReport = std::chrono::steady_clock::now();
    return [progress = std::move(progress), lastReport](std::uint64_t done, std::uint64_t total,
                                                        std::uint64_t outputBits) mutable {
        auto now = std::chrono::steady_clock::now();
        if (now - lastReport < kInterval) return false;
        lastReport = now;
        return progress(done, total, outputBits);
    };
}

}  // namespace palisade
