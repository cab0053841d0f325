// Which message ends an installation: the offer to view a failed run's log,
// the plain "finished" box, the summary page, or nothing at all.
#pragma once

#include <cstdint>

namespace palisade {

// `SettingsFlags1` bits read at the end of a run.
inline constexpr std::uint32_t kFlags1KeepInstallLog = 0x40;
inline constexpr std::uint32_t kFlags1LooksForExistingInstall = 0x4;
// A restart follows the run, so the finish message stays a plain box.
inline constexpr std::uint32_t kFlags1NeedsRestart = 0x4000;
// `SettingsFlags2` bit: the summary page offers to view the log.
inline constexpr std::uint32_t kFlags2SummaryShowsLog = 0x2000000;

enum class FinishMessage {
    None,            // not interactive, automatic, or switched off
    AskToViewLog,    // failures: yes/no with messages 40 and 41
    InformationBox,  // success: messages 42 and 43
    SummaryPage,     // success: the summary page
};

struct FinishInputs {
    bool interactive = true;
    bool automatic = false;
    bool hasFailures = false;
    std::uint32_t settingsFlags1 = 0;
    std::uint32_t settingsFlags2 = 0;
    // Any of the summary page's two files to open or its program to launch.
    bool summaryHasActions = false;
};

struct FinishChoice {
    FinishMessage message = FinishMessage::None;
    // The settings' second flag word afterwards: without a log there is
    // nothing to offer on the summary page.
    std::uint32_t settingsFlags2 = 0;
};

FinishChoice ChooseFinishMessage(const FinishInputs& inputs);

}  // namespace palisade
