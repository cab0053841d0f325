// The text of the generated batch file.
#include "variables/batch_text.h"

#include "core/text.h"

namespace palisade {

namespace {

// The installer's values, in the order the batch defines them. Paths and
// names are quoted as a whole so that blanks and parentheses survive.
constexpr const char16_t* kQuotedVariables[] = {
    u"InstallDir",      u"Bits",            u"UninstallDir",     u"SharedDir",        u"InstallerFilepath",
    u"InstallerDir",    u"InstallerFilename", u"InstallerDrive", u"SystemDir",        u"DeviceDir",
    u"MediaDir",        u"FavoritesDir",    u"FavoritesAllDir",  u"FontDir",          u"DesktopDir",
    u"DesktopAllDir",   u"DesktopShortcuts", u"DocumentDir",     u"DocumentAllDir",   u"ProductName",
    u"CompanyName",     u"ProgramsDir",     u"ProgramsDir32",    u"ProgramsDir64",    u"StartMenuAllDir",
    u"StartMenuChosen", u"StartMenuDir",    u"SMProgramsDir",    u"SMProgramsAllDir", u"StartupDir",
    u"StartupAllDir",   u"CommonDir",       u"CommonDir32",      u"CommonDir64",      u"Inetpub",
    u"AppDataDir",      u"AppDataAllDir",
};

constexpr const char16_t* kPlainVariables[] = {
    u"InstallDrive", u"BootDrive",       u"Version",         u"OldVersion", u"Portable",  u"Existing",
    u"NetworkInstall", u"Language",      u"OldVersionMajor", u"OldVersionMinor", u"OS", u"OSMajor",
    u"OSMinor",      u"OSName",          u"OSDescription",   u"OSServer",
};

bool IsBatchBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBatchBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBatchBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsPauseLine(std::string_view line) {
    std::string_view command = TrimBlanks(line);
    if (!command.empty() && command.front() == '@') command = TrimBlanks(command.substr(1));
    return EqualsIgnoreCase(Windows1252ToUtf16(command), u"PAUSE");
}

// The byte that Windows-1252 gives `c`, or '?' when it has none.
char ToWindows1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        if (Windows1252ToUtf16(std::string(1, char(byte)))[0] == c) return char(byte);
    }
    return '?';
}

std::string EncodeWindows1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                    text[i + 1] <= 0xDFFF;
        if (pair) ++i;  // one '?' for the whole character
        out.push_back(pair ? '?' : ToWindows1252(c));
    }
    return out;
}

bool IsAllAscii(std::u16string_view text) {
    for (char16_t c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

bool SystemTakesUtf8Batches(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    constexpr std::uint32_t kPlatformNt = 2;
    return platformId == kPlatformNt && (major > 6 || (major == 6 && minor >= 1));
}

std::u16string BatchVariableLines(const VariableExpander& expand) {
    // One expansion for the whole block: every value is looked up afresh on
    // each expansion, and one pass is far cheaper than one per value.
    std::u16string lines = u"@echo off\r\nSET Automatic=%Automatic%\r\n";
    for (const char16_t* name : kQuotedVariables) {
        lines += u"SET \"" + std::u16string(name) + u"=%" + name + u"%\"\r\n";
    }
    for (const char16_t* name : kPlainVariables) {
        lines += u"SET " + std::u16string(name) + u"=%" + name + u"%\r\n";
    }
    return expand(lines);
}

std::string RemovePauseLines(std::string_view commands) {
    std::string kept;
    kept.reserve(commands.size());
    while (!commands.empty()) {
        std::size_t end = commands.find('\n');
        std::size_t next = end == std::string_view::npos ? commands.size() : end + 1;
        std::string_view lineWithBreak = commands.substr(0, next);
        if (!IsPauseLine(commands.substr(0, end == std::string_view::npos ? next : end))) {
            kept.append(lineWithBreak);
        }
        commands.remove_prefix(next);
    }
    return kept;
}

std::string NormaliseLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') {
            out.push_back(c);
            continue;
        }
        char partner = c == '\r' ? '\n' : '\r';
        if (i + 1 < text.size() && text[i + 1] == partner) ++i;
        out += "\r\n";
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

std::string EncodeBatchFile(std::u16string_view text, bool utf8Allowed) {
    if (!utf8Allowed || IsAllAscii(text)) return NormaliseLineBreaks(kWindows1252CodePageLine + EncodeWindows1252(text));
    return NormaliseLineBreaks(kUtf8CodePageLine + Utf16ToUtf8(text));
}

std::string BuildBatchFile(std::string_view commands, const BatchTextOptions& options,
                           const VariableExpander& expand) {
    std::u16string text = BatchVariableLines(expand);
    text += Windows1252ToUtf16(options.dropPause ? RemovePauseLines(commands) : std::string(commands));
    return EncodeBatchFile(text, options.utf8Allowed);
}

std::string JoinBatchAddition(std::string_view batch, std::string_view addition) {
    // Without an addition the batch stays as it is: an empty batch must stay
    // empty so that nothing is run for it.
    if (addition.empty()) return std::string(batch);
    std::string joined(batch);
    if (joined.size() < 2 || joined.compare(joined.size() - 2, 2, "\r\n") != 0) joined += "\r\n";
    return joined + std::string(addition);
}

}  // namespace palisade
