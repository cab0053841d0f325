// The probe: a Windows console program that runs one piece of the stub's
// Win32 code under Wine and prints what it got, so that Wine tests can check
// system-facing code without a whole installation.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace palisade::probe {

// A command gets its arguments (UTF-8) and writes its answer to `out` (UTF-8);
// the return value becomes the exit code.
using Command = std::function<int(const std::vector<std::string>& args, std::string& out)>;

// Registers a command by name; used from static initialisers in *_commands.cpp.
bool RegisterCommand(const std::string& name, Command command);

#define PALISADE_PROBE_COMMAND(name, function) \
    static const bool kProbeRegistered_##function = ::palisade::probe::RegisterCommand(name, function)

}  // namespace palisade::probe
