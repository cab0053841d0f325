// The choice of the message that ends an installation.
#include "log/finish_message.h"

#include "payload/settings_flags.h"

namespace palisade {

FinishChoice ChooseFinishMessage(const FinishInputs& in) {
    FinishChoice choice;
    choice.settingsFlags2 = in.settingsFlags2;
    if (!in.interactive || in.automatic) return choice;
    if (in.hasFailures) {
        choice.message = FinishMessage::AskToViewLog;
        return choice;
    }
    if (in.settingsFlags1 & Flags1::kNoFinishMessage) return choice;
    if (!(in.settingsFlags1 & kFlags1KeepInstallLog)) choice.settingsFlags2 &= ~kFlags2SummaryShowsLog;
    bool summaryIsEmpty = !in.summaryHasActions && !(choice.settingsFlags2 & kFlags2SummaryShowsLog);
    choice.message = (in.settingsFlags1 & kFlags1NeedsRestart) || summaryIsEmpty ? FinishMessage::InformationBox
                                                                                : FinishMessage::SummaryPage;
    return choice;
}

}  // namespace palisade
