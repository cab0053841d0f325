// `palisade build`: the command line, the build and its summary.
#pragma once

#include <string>
#include <vector>

namespace palisade::tools {

// The stub the builder ships with: share/palisade's when installed, else the one it was configured with.
std::string DefaultStubPath();

// Runs `palisade build` with the arguments after "build". Returns the exit
// code: 0 built, 1 the project or the build failed, 2 bad command line.
int RunBuildCommand(const std::vector<std::string>& arguments);

}  // namespace palisade::tools
