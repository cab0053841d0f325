// The installer's HTTP event notifications (start, begin, completion, cancel,
// error). The sending worker is not part of the program yet: NotifyEvent is
// the call point the run already uses, and it sends nothing.
#pragma once

#include <string_view>

namespace palisade {

inline void NotifyEvent(std::string_view /*address*/, int /*value*/) {}

}  // namespace palisade
