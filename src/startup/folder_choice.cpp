// The installation folder loop's tests and messages.
#include "startup/folder_choice.h"

#include "core/format.h"
#include "core/message_numbers.h"
#include "startup/install_decisions.h"
#include "ui/folder_space.h"

namespace palisade {
namespace {

std::u16string WithFolder(std::u16string text, std::u16string_view folder) {
    if (!folder.empty()) text += u"\r\n\r\n" + std::u16string(folder);
    return text;
}

FolderPrompt Refusal(int number, std::u16string text, const MessageLookup& message) {
    return {FolderPrompt::Kind::Refusal, number, std::move(text), message(Msg::kSetupCaption)};
}

FolderPrompt Question(int number, std::u16string text, const MessageLookup& message) {
    return {FolderPrompt::Kind::Question, number, std::move(text), message(Msg::kSetupCaption)};
}

}  // namespace

std::u16string VolumeRootOf(std::u16string_view folder) {
    if (std::optional<char16_t> drive = DriveLetterOf(folder); drive && folder.front() != u'|') {
        return std::u16string{*drive, u':', u'\\'};
    }
    if (folder.size() < 5 || folder.substr(0, 2) != u"\\\\") return {};
    const std::size_t server = folder.find(u'\\', 2);
    if (server == std::u16string_view::npos || server == 2) return {};
    const std::size_t share = folder.find(u'\\', server + 1);
    const std::u16string_view root = folder.substr(0, share);
    if (root.size() == server + 1) return {};
    return std::u16string(root) + u'\\';
}

std::u16string ChosenFolderText(std::u16string_view pageText) { return NormaliseFolder(pageText); }

std::u16string FolderRefusalText(FolderVerdict verdict, std::u16string_view folder, const MessageLookup& message) {
    const char16_t drive = folder.size() >= 2 && folder[1] == u':' ? folder[0] : u'?';
    return WithFolder(Format(message(FolderRefusalMessage(verdict)), {int(drive)}), folder);
}

FolderPlan PlanChosenFolder(std::u16string_view folder, const ChosenFolderFacts& facts, const MessageLookup& message) {
    FolderPlan plan;
    if (facts.verdict != FolderVerdict::Accepted) {
        std::u16string text = FolderRefusalText(facts.verdict, folder, message);
        plan.prompts.push_back(Refusal(FolderRefusalMessage(facts.verdict), std::move(text), message));
        return plan;
    }
    if (facts.presence == FolderPresence::File) {
        std::u16string text = WithFolder(message(Msg::kFolderNotCreated), folder);
        plan.prompts.push_back(Refusal(Msg::kFolderNotCreated, std::move(text), message));
        return plan;
    }
    if (facts.freeBytes && *facts.freeBytes < facts.neededBytes) {
        std::u16string text =
            Format(message(Msg::kLowDiskSpace), {FormatByteSize(facts.neededBytes), FormatByteSize(*facts.freeBytes)});
        plan.prompts.push_back(Question(Msg::kLowDiskSpace, std::move(text), message));
    }
    const bool exists = facts.presence == FolderPresence::Folder;
    const int confirmation = exists ? Msg::kFolderExists : Msg::kFolderWillBeCreated;
    plan.prompts.push_back(Question(confirmation, WithFolder(message(confirmation), folder), message));
    plan.create = !exists;
    return plan;
}

FolderPrompt FolderNotCreatedPrompt(std::u16string_view folder, std::u16string_view reason, const MessageLookup& message) {
    std::u16string text = WithFolder(message(Msg::kFolderCannotBeCreated), folder);
    if (!reason.empty()) text += u"\r\n" + std::u16string(reason);
    return Refusal(Msg::kFolderCannotBeCreated, std::move(text), message);
}

}  // namespace palisade
