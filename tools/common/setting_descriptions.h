// One line on what each plain setting does, for `palisade keys`, the JSON Schema and `palisade init`.
#pragma once

#include <string_view>

namespace palisade::tools {

// The description of the plain setting `key` (its project-file name, e.g.
// "StatusDelay"); nullptr when the key has none.
const char* SettingDescription(std::string_view key);

}  // namespace palisade::tools
