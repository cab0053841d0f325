// `palisade inspect`: prints what an installer holds, as text or JSON.
#pragma once

#include <string>
#include <vector>

namespace palisade::tools {

// Returns 0 for a sound installer, 1 for a damaged one or an unreadable file, 2 for a bad command line.
int RunInspectCommand(const std::vector<std::string>& arguments);

}  // namespace palisade::tools
