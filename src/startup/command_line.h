// The installer's command line: atoms, switches and the usage text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/command_line_options.h"

namespace palisade {

// Converts wide text to the ANSI code page, unmappable characters becoming '?'.
using AnsiEncoder = std::function<std::string(std::u16string_view)>;

struct CommandLineResult {
    CommandLineOptions options;
    // Set when the line must end the run with the usage text; holds the complaint.
    std::optional<std::u16string> usageComplaint;
};

// Parses the arguments that follow the program path (see SkipProgramPath).
// Switches seen before a bad atom stay set in `options`, so that a `/silent`
// in front of it still silences the usage message.
CommandLineResult ParseCommandLine(std::u16string_view arguments, const AnsiEncoder& toAnsi);

// Removes the first atom (the program path) and the blanks after it.
std::u16string_view SkipProgramPath(std::u16string_view commandLine);

// The text the run ends with when the command line is wrong.
std::u16string FormatUsage(std::u16string_view complaint, std::u16string_view programFileName);

inline constexpr int kMaxCommandLineAtoms = 19;

}  // namespace palisade
