// The licence page's read-to-the-end rule.
#include "ui/licence_gate.h"

#include <cstdint>

namespace palisade {

bool ScrolledToEnd(const ScrollState& scroll) {
    std::int64_t position = scroll.tracking ? scroll.trackPosition : scroll.position;
    return position + std::int64_t(scroll.page) >= std::int64_t(scroll.maximum);
}

bool LicenceReadGate::OnTick(const std::optional<ScrollState>& scroll) {
    if (m_open) return false;
    if (scroll && !ScrolledToEnd(*scroll)) return false;
    m_open = true;
    return true;
}

}  // namespace palisade
