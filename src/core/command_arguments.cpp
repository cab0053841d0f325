// Quoting one argument for a Windows command line.
#include "core/command_arguments.h"

namespace palisade {

std::u16string QuoteArgument(std::u16string_view argument) {
    if (!argument.empty() && argument.find_first_of(u" \t\n\v\"") == std::u16string_view::npos) {
        return std::u16string(argument);
    }
    std::u16string quoted = u"\"";
    std::size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            quoted.append(backslashes * 2 + 1, u'\\');
        } else {
            quoted.append(backslashes, u'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, u'\\');
    quoted += u'"';
    return quoted;
}

std::u16string ProgramOfCommand(std::u16string_view command) {
    std::size_t start = command.find_first_not_of(u" \t");
    if (start == std::u16string_view::npos) return {};
    command.remove_prefix(start);
    if (command.front() == u'"') {
        std::size_t close = command.find(u'"', 1);
        return std::u16string(command.substr(1, close == std::u16string_view::npos ? close : close - 1));
    }
    return std::u16string(command.substr(0, command.find_first_of(u" \t")));
}

std::u16string QuoteProgramOfCommand(std::u16string_view command,
                                     const std::function<bool(std::u16string_view)>& fileExists) {
    if (command.empty() || command.front() == u'"') return std::u16string(command);
    if (fileExists(command)) return u"\"" + std::u16string(command) + u"\"";
    for (std::size_t blank = command.rfind(u' '); blank != std::u16string_view::npos && blank > 0;
         blank = command.rfind(u' ', blank - 1)) {
        std::u16string_view program = command.substr(0, blank);
        if (fileExists(program)) return u"\"" + std::u16string(program) + u"\"" + std::u16string(command.substr(blank));
        if (blank == 0) break;
    }
    return std::u16string(command);
}

}  // namespace palisade
