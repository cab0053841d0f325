// Which running windows the applications-to-close list names, and what to do
// with each: the pattern rules, the entry that decides for a window, and the
// lists each side of the program works with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/message_numbers.h"
#include "payload/settings.h"

namespace palisade {

// The points of a run at which windows are closed (bits of an entry's phase mask).
inline constexpr int kCloseBeforeInstalling = 1;
inline constexpr int kCloseAtUninstallerStart = 2;
inline constexpr int kCloseAfterUninstallConfirmation = 4;

// What an entry does with a matching window.
inline constexpr std::uint8_t kCloseActionClose = 0;      // bring forward, post WM_CLOSE
inline constexpr std::uint8_t kCloseActionQuit = 1;       // bring forward, post WM_QUIT
inline constexpr std::uint8_t kCloseActionAsk = 2;        // ask the user to close it
inline constexpr std::uint8_t kCloseActionTerminate = 3;  // end its process

// Message box styles of the question and of the abort message. 0x02000000 is
// the program's own box's narrow-text option (at most a third of the work
// area wide); it is not a style of the system's message box.
inline constexpr std::uint32_t kNarrowTextBoxStyle = 0x02000000;
inline constexpr std::uint32_t kAskToCloseBoxStyle = 0x02000035;  // Retry/Cancel, warning icon
inline constexpr std::uint32_t kCloseAbortedBoxStyle = 0x02000030;  // OK, warning icon

// The style to hand to the system's message box: the bits it defines, without
// the options only the program's own box knows.
std::uint32_t SystemMessageBoxStyle(std::uint32_t style);

// One pattern against one text: empty tests nothing (matches); "*" followed
// by at least one character matches a text that contains the rest; any other
// pattern matches only the same text. UTF-16 code units: letter case matters.
bool PatternMatches(std::u16string_view pattern, std::u16string_view text);

// Every non-empty pattern of the entry matches; an entry with both patterns
// empty matches no window at all.
bool EntryMatchesWindow(const AutoCloseEntry& entry, std::u16string_view className, std::u16string_view title);

// What the enumeration knows about one top-level window.
struct WindowDescription {
    std::u16string_view className;
    std::u16string_view title;
    bool ownProcess = false;  // the window belongs to this very process
};

// The index of the entry that decides for `window` at `phase`: the first one
// in list order whose phase mask shares a bit with `phase` and that matches.
// None for a window of the own process, which is never closed.
std::optional<std::size_t> DecidingEntry(const std::vector<AutoCloseEntry>& entries, int phase,
                                         const WindowDescription& window);

// One "[AutoClose]" line of Uninstall.DAT: class pattern, title pattern,
// application name (UTF-8) and action, comma-separated, ended by CR LF.
std::string AutoCloseLine(const AutoCloseEntry& entry);

// One "[AutoClose]" row (without its line break) as the uninstaller's entry;
// none for a row with other than four fields or a non-numeric action. The
// phase mask is 4 for an ask entry (after the confirmation) and 2 otherwise.
std::optional<AutoCloseEntry> ParseAutoCloseLine(std::string_view line);

// The uninstaller's list from the "[AutoClose]" rows: unreadable rows are skipped.
std::vector<AutoCloseEntry> UninstallerAutoCloseEntries(const std::vector<std::string>& rows);

// The entries the installer keeps for Uninstall.DAT once its own pass is
// done: those meant for the uninstaller at all, i.e. whose phase mask has
// bit 2 or bit 4. Install-only entries (mask 1) are dropped.
std::vector<AutoCloseEntry> EntriesKeptForUninstaller(const std::vector<AutoCloseEntry>& entries);

// The catalogue messages each side shows when it asks and when the user cancels.
struct AutoCloseMessages {
    int askText;        // format with the application name as its one %s
    int askCaption;
    int abortText;
    int abortCaption;
};
inline constexpr AutoCloseMessages kInstallerAutoCloseMessages{Msg::kCloseApplication, Msg::kGreetingCaption,
                                                               Msg::kInstallCancelled, Msg::kCancelledCaption};
inline constexpr AutoCloseMessages kUninstallerAutoCloseMessages{Msg::kCloseApplicationAtRemoval, Msg::kRemovingCaption,
                                                                 Msg::kRemovalCancelled, Msg::kCancelledCaption};

// What the answer to the question means.
enum class AskAnswer {
    AskAgain,     // Retry: ask again while the window still exists
    AbortRun,     // Cancel: the abort message and exit code 1
    StopAsking,   // no box could be shown: go on as a silent run would
};
AskAnswer InterpretAskAnswer(int buttonId);

// The wait between two looks at the message queue while the installer lets
// its own windows settle: 25 ms first, 2 ms longer each time.
inline constexpr int kSettleMilliseconds = 333;
inline constexpr int FirstSettleSleep() { return 25; }
inline constexpr int NextSettleSleep(int previous) { return previous + 2; }

}  // namespace palisade
