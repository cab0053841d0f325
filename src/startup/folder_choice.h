// The tests of a folder chosen on the folder page, in the order the
// installation folder loop makes them, and the messages that refuse or
// confirm it. The loop gathers the facts, shows the prompts in order and
// goes back to the page at a refusal or a No.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "variables/folder_rules.h"

namespace palisade {

// What is at the chosen folder's path.
enum class FolderPresence { Missing, Folder, File };

struct ChosenFolderFacts {
    FolderVerdict verdict = FolderVerdict::Accepted;  // CheckInstallFolder of the folder and of its resolved form
    FolderPresence presence = FolderPresence::Missing;
    std::optional<std::uint64_t> freeBytes;  // free space for the user on its volume; nothing when unknown
    std::uint64_t neededBytes = 0;           // the total installation size
};

struct FolderPrompt {
    enum class Kind { Refusal, Question } kind;
    int message;  // the catalogue message it is built on
    std::u16string text;
    std::u16string caption;
};

struct FolderPlan {
    // A refusal (then the only prompt) or the questions to answer Yes, in order.
    std::vector<FolderPrompt> prompts;
    bool create = false;  // the folder is made once every question was answered Yes
    bool Refused() const { return !prompts.empty() && prompts.front().kind == FolderPrompt::Kind::Refusal; }
};

using MessageLookup = std::function<std::u16string(int)>;

// The page's text as the folder to test: blanks at the ends and a trailing
// backslash removed (a drive root keeps its own).
std::u16string ChosenFolderText(std::u16string_view pageText);

// The root of the volume that holds `folder`, for asking its free space:
// "X:\" for a drive path, "\\server\share\" for a network path; empty for
// anything else.
std::u16string VolumeRootOf(std::u16string_view folder);

// The tests in their order: the folder rules (empty, invalid or too long,
// drive root or Program Files root, system and profile folders, a missing
// drive, a drive of the wrong kind); a file in the folder's place; enough
// free space (a question, Yes goes on); the confirmation that the folder
// exists (message 22) or will be made (message 23).
FolderPlan PlanChosenFolder(std::u16string_view folder, const ChosenFolderFacts& facts, const MessageLookup& message);

// The text that refuses a folder for `verdict`: its message (message 96
// with the drive letter), a blank line and the folder when there is one.
std::u16string FolderRefusalText(FolderVerdict verdict, std::u16string_view folder, const MessageLookup& message);

// The folder could not be made (message 73): the folder and the system's reason.
FolderPrompt FolderNotCreatedPrompt(std::u16string_view folder, std::u16string_view reason, const MessageLookup& message);

}  // namespace palisade
