// `palisade keys`: lists every settings key of the project file with its type and default.
#pragma once

#include <string>
#include <vector>

namespace palisade::tools {

// Prints the table (Markdown with --markdown); returns the exit code.
int RunKeysCommand(const std::vector<std::string>& arguments);

}  // namespace palisade::tools
