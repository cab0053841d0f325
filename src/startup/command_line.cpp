// The installer's command line: atoms, switches and the usage text.
#include "startup/command_line.h"

#include "core/format.h"
#include "core/text.h"

namespace palisade {

namespace {

// Takes the next atom: a run up to a blank, where a stretch opened by a double
// quote runs to the closing quote (quotes stay in the atom).
std::u16string_view NextAtom(std::u16string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    rest.remove_prefix(i);
    std::size_t end = 0;
    bool quoted = false;
    while (end < rest.size() && (quoted || !IsBlank(rest[end]))) {
        if (rest[end] == u'"') quoted = !quoted;
        ++end;
    }
    std::u16string_view atom = rest.substr(0, end);
    rest.remove_prefix(end);
    return atom;
}

std::u16string_view StripSurroundingQuotes(std::u16string_view text) {
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

template <typename Text>
void RemoveOneTrailing(Text& text, typename Text::value_type c) {
    if (!text.empty() && text.back() == c) text.pop_back();
}

std::string BatchAddition(std::u16string_view rest, const AnsiEncoder& toAnsi) {
    std::string narrow = toAnsi(rest);
    RemoveOneTrailing(narrow, '"');
    narrow = ReplaceAll(narrow, "`", "\"");
    return ReplaceAll(narrow, "~~", "\r\n");
}

}  // namespace

std::u16string_view SkipProgramPath(std::u16string_view commandLine) {
    NextAtom(commandLine);
    std::size_t i = 0;
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

CommandLineResult ParseCommandLine(std::u16string_view arguments, const AnsiEncoder& toAnsi) {
    CommandLineResult result;
    CommandLineOptions& o = result.options;
    for (int count = 0; count < kMaxCommandLineAtoms; ++count) {
        std::u16string_view atom = NextAtom(arguments);
        if (atom.empty()) break;
        if (atom.front() != u'/' && atom.front() != u'-') {
            result.usageComplaint = u"Unexpected command line parameter:\r\n" + std::u16string(atom);
            return result;
        }
        std::u16string_view word = atom.substr(1);
        if (EqualsIgnoreCase(word, u"A")) {
            o.automatic = true;
        } else if (StartsWithIgnoreCase(word, u"D:")) {
            std::u16string path(StripSurroundingQuotes(word.substr(2)));
            RemoveOneTrailing(path, u'\\');
            o.installPathOverride = std::move(path);
        } else if (StartsWithIgnoreCase(word, u"N:")) {
            o.productNameOverride = std::u16string(StripSurroundingQuotes(word.substr(2)));
        } else if (EqualsIgnoreCase(word, u"U") || StartsWithIgnoreCase(word, u"U:")) {
            // Only "u" and "u:name": a word that merely begins with "u"
            // ("/update") must not start the removal of the product.
            o.uninstall = true;
            if (word.size() > 1) o.uninstallProductName = std::u16string(StripSurroundingQuotes(word.substr(2)));
        } else if (StartsWithIgnoreCase(word, u"R:\"")) {
            std::u16string program(word.substr(3));
            RemoveOneTrailing(program, u'"');
            o.programToRunOnExit = ReplaceAll(program, u"`", u"\"");
        } else if (StartsWithIgnoreCase(word, u"B1:\"") || StartsWithIgnoreCase(word, u"B2:\"") ||
                   StartsWithIgnoreCase(word, u"B3:\"")) {
            o.batchAdditions[word[1] - u'1'] = BatchAddition(word.substr(4), toAnsi);
        } else if (EqualsIgnoreCase(word, u"Silent")) {
            o.silent = true;
            o.automatic = true;
        } else if (EqualsIgnoreCase(word, u"MIN")) {
            o.minimised = true;
        } else if (!word.empty()) {
            result.usageComplaint = u"Illegal command line atom:\r\n" + std::u16string(word);
            return result;
        }
    }
    return result;
}

std::u16string FormatUsage(std::u16string_view complaint, std::u16string_view programFileName) {
    static constexpr char16_t kUsage[] =
        u"%s\r\n\r\nUsage:\r\n%s [/a] [/b1:\"commands\"] [/b2:\"commands\"] [/b3:\"commands\"] "
        u"[/d:\"dir\"] [/n:\"name\"] [/u:\"name\"] [/r:\"program\"] [/silent]\r\n\r\n"
        u"/a                  \tAutomatic mode.\r\n"
        u"/d:\"dir\"        \tOverride installation path.\r\n"
        u"/b1:\"commands\"\tAdd commands to the end of the Pre-Installation Batch.\r\n"
        u"/b2:\"commands\"\tAdd commands to the end of the Post-Installation Batch.\r\n"
        u"/b3:\"commands\"\tAdd commands to the end of the Installation-Exit Batch.\r\n"
        u"/n:\"name\"\tOverride product name.\r\n"
        u"/u:\"name\"\tUninstall product by name.\r\n"
        u"/r:\"program\"\tRun the specified program after a successful installation.\r\n"
        u"/silent\tDisplay no user interface.";
    return Format(kUsage, {complaint, programFileName});
}

}  // namespace palisade
