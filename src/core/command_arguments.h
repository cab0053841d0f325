// Quoting one argument for a Windows command line, so that the program
// started reads it back as one argument exactly as given.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace palisade {

// The argument unchanged when it needs no quotes; otherwise in double quotes
// with the backslashes before a quote (and before the closing quote) doubled
// and every inner quote escaped, as the C runtime's argument splitter reads it.
std::u16string QuoteArgument(std::u16string_view argument);

// The program of a command line: the first quoted stretch, or the text up
// to the first blank.
std::u16string ProgramOfCommand(std::u16string_view command);

// An author's or caller's command ("C:\Program Files\App\app.exe -x") with
// its program path quoted, so that the system cannot take "C:\Program.exe"
// for the program: a command already beginning with a quote stays; else the
// whole text when it names an existing file; else its longest leading part up
// to a blank that names an existing file, the rest being the arguments; else
// the command as given.
std::u16string QuoteProgramOfCommand(std::u16string_view command,
                                     const std::function<bool(std::u16string_view)>& fileExists);

}  // namespace palisade
