// The pattern rules and list handling of the applications-to-close service.
#include "system/auto_close.h"

#include "core/text.h"

namespace palisade {
namespace {

// Every bit the system's message box defines: button set, icon, default
// button, modality and the option bits up to MB_SERVICE_NOTIFICATION.
constexpr std::uint32_t kSystemMessageBoxBits = 0x003FFFFF;

// An action number the program does not know does nothing; numbers beyond a
// byte must not wrap onto a real action (258 is not "ask").
std::uint8_t StoredAction(int action) {
    return action >= 0 && action <= 0xFF ? std::uint8_t(action) : std::uint8_t(0xFF);
}

// The action field: one to nine decimal digits.
std::optional<int> ParseActionField(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::uint32_t SystemMessageBoxStyle(std::uint32_t style) { return style & kSystemMessageBoxBits; }

bool PatternMatches(std::u16string_view pattern, std::u16string_view text) {
    if (pattern.empty()) return true;
    if (pattern.size() >= 2 && pattern[0] == u'*') return text.find(pattern.substr(1)) != std::u16string_view::npos;
    return pattern == text;
}

bool EntryMatchesWindow(const AutoCloseEntry& entry, std::u16string_view className, std::u16string_view title) {
    if (entry.classPattern.empty() && entry.titlePattern.empty()) return false;
    return PatternMatches(entry.classPattern, className) && PatternMatches(entry.titlePattern, title);
}

std::optional<std::size_t> DecidingEntry(const std::vector<AutoCloseEntry>& entries, int phase,
                                         const WindowDescription& window) {
    if (window.ownProcess) return std::nullopt;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const AutoCloseEntry& entry = entries[i];
        if ((entry.phaseMask & phase) == 0) continue;
        if (EntryMatchesWindow(entry, window.className, window.title)) return i;
    }
    return std::nullopt;
}

std::string AutoCloseLine(const AutoCloseEntry& entry) {
    return Utf16ToUtf8(entry.classPattern) + "," + Utf16ToUtf8(entry.titlePattern) + "," +
           Utf16ToUtf8(entry.applicationName) + "," + std::to_string(entry.action) + "\r\n";
}

std::optional<AutoCloseEntry> ParseAutoCloseLine(std::string_view line) {
    std::string_view fields[4];
    for (int i = 0; i < 3; ++i) {
        std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) return std::nullopt;
        fields[i] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    if (line.find(',') != std::string_view::npos) return std::nullopt;
    std::optional<int> action = ParseActionField(line);
    if (!action) return std::nullopt;
    AutoCloseEntry entry;
    entry.classPattern = Utf8ToUtf16(fields[0]);
    entry.titlePattern = Utf8ToUtf16(fields[1]);
    entry.applicationName = Utf8ToUtf16(fields[2]);
    entry.action = StoredAction(*action);
    entry.phaseMask = entry.action == kCloseActionAsk ? kCloseAfterUninstallConfirmation : kCloseAtUninstallerStart;
    return entry;
}

std::vector<AutoCloseEntry> UninstallerAutoCloseEntries(const std::vector<std::string>& rows) {
    std::vector<AutoCloseEntry> entries;
    for (const std::string& line : rows) {
        if (std::optional<AutoCloseEntry> entry = ParseAutoCloseLine(line)) entries.push_back(std::move(*entry));
    }
    return entries;
}

std::vector<AutoCloseEntry> EntriesKeptForUninstaller(const std::vector<AutoCloseEntry>& entries) {
    std::vector<AutoCloseEntry> kept;
    for (const AutoCloseEntry& entry : entries) {
        if (entry.phaseMask & (kCloseAtUninstallerStart | kCloseAfterUninstallConfirmation)) kept.push_back(entry);
    }
    return kept;
}

AskAnswer InterpretAskAnswer(int buttonId) {
    constexpr int kCancel = 2;
    constexpr int kRetry = 4;
    if (buttonId == kRetry) return AskAnswer::AskAgain;
    if (buttonId == kCancel) return AskAnswer::AbortRun;
    return AskAnswer::StopAsking;
}

}  // namespace palisade
