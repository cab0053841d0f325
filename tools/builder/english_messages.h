// The built-in English message catalogue that every installer carries.
#pragma once

#include <string>
#include <vector>

namespace palisade::tools {

// Messages 0 .. kEnglishMessageCount - 1; the program uses no higher number.
inline constexpr int kEnglishMessageCount = 116;

// UTF-8 texts indexed by message number, line breaks as "\n" (the installer
// turns them into CR LF). Numbers that no part of the program shows are empty.
const std::vector<std::string>& EnglishMessages();

// The message numbers that the installer and uninstaller show; each has a text above.
const std::vector<int>& MessageNumbersInUse();

}  // namespace palisade::tools
