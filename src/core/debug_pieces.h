// Cuts text for OutputDebugString, whose readers (debug viewers, Wine's debug
// channel) keep only the first few hundred characters of each string.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace palisade {

// At most this many characters per piece, counted as Wine's debug channel shows
// them: a control character, quote or backslash takes two, any character
// outside ASCII takes six (\xHH or \uHHHH). A piece that fits on its own never
// gets cut by a reader that stops at 300 characters.
inline constexpr std::size_t kDebugPieceLimit = 250;

std::vector<std::u16string> SplitForDebugOutput(std::u16string_view text);

}  // namespace palisade
