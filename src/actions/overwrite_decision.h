// Whether a file entry replaces what is at its destination: the lists filled
// before the decision, the overwrite rules with their log sentences, which
// files are recorded for the uninstaller, and the shortcut an entry asks for.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "log/installation_record.h"
#include "payload/file_entry.h"

namespace palisade {

// What the rules may ask about the file now at the destination. Each question
// is asked at most once, and only by a rule that needs its answer.
struct ExistingFileQuestions {
    std::function<bool()> exists;                             // a file, not a folder
    std::function<std::optional<FileTimeStamp>()> timeStamp;  // last-write time (UTC); none when unreadable
    std::function<std::u16string()> version;                  // "FileVersion", empty when absent
};

struct OverwriteDecision {
    bool write = false;          // otherwise the entry is passed over
    bool existedBefore = false;  // the default rule saw the destination (restart replacement allowed)
    bool recordFile = false;     // record the destination for the uninstaller (type 0)
    std::u16string logText;      // for the run log; may be empty
};

// Kinds recorded for removal: 0, 5, 9 to 12, and shared files when portable.
bool IsRecordedKind(EntryKind kind, bool portable);

// The shared-count, COM and type-library lists, filled whatever the decision.
void AddToListsBeforeDecision(const FileEntry& entry, std::u16string_view destination, bool portable,
                              InstallationRecord& record);

OverwriteDecision DecideOverwrite(const FileEntry& entry, std::u16string_view destination, bool portable,
                                  const ExistingFileQuestions& existing);

// The shortcut of an entry about to be written (kind 0 with a shortcut bit,
// or kind 5); none for every other entry.
std::optional<ShortcutRecord> ShortcutFor(const FileEntry& entry, std::u16string_view destination);

// Version texts of the entry come from its info field (UTF-8).
std::u16string EntryInfoText(const FileEntry& entry);

}  // namespace palisade
