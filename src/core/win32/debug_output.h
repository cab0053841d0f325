// Writes program text to the system debugger channel, where admins read it with
// a debug viewer and tests read it through Wine's debug log.
#pragma once

#include <string_view>

namespace palisade {

// Writes `text` in pieces that debug readers keep whole, then a line feed that
// marks the end of the message.
void WriteDebugOutput(std::u16string_view text);

}  // namespace palisade
