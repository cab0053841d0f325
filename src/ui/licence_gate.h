// The licence page's read-to-the-end rule: with it, Next stays disabled until
// a timer tick finds the document scrolled to its end; then it stays enabled.
#pragma once

#include <optional>

namespace palisade {

// The document's vertical scroll bar as a tick reads it.
struct ScrollState {
    int position = 0;
    int trackPosition = 0;  // where the thumb is while it is dragged
    bool tracking = false;
    int page = 0;
    int maximum = 0;
};

// How often the page looks at the scroll bar, and when it first gives the
// document the focus.
inline constexpr unsigned kLicenceCheckMilliseconds = 200;
inline constexpr unsigned kLicenceFocusMilliseconds = 250;

class LicenceReadGate {
public:
    explicit LicenceReadGate(bool readToEndRequired) : m_required(readToEndRequired), m_open(!readToEndRequired) {}

    // Whether the page watches the scroll bar at all.
    bool Required() const { return m_required; }
    bool NextEnabled() const { return m_open; }

    // One timer tick; `scroll` is nothing when the document has no scroll bar
    // to read (all of it is in view). True when this tick enabled Next.
    bool OnTick(const std::optional<ScrollState>& scroll);

private:
    bool m_required;
    bool m_open;
};

// Whether the end of the document is in view: the position (the thumb's,
// while dragging) plus the page reaches the range's maximum.
bool ScrolledToEnd(const ScrollState& scroll);

}  // namespace palisade
