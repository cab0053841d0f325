// Whether a file entry replaces what is at its destination.
#include "actions/overwrite_decision.h"

#include "actions/file_comparison.h"
#include "core/format.h"
#include "core/program_narrow.h"
#include "core/text.h"

namespace palisade {
namespace {

// Asks each question of `ExistingFileQuestions` at most once.
class ExistingFile {
public:
    explicit ExistingFile(const ExistingFileQuestions& questions) : m_questions(questions) {}

    bool Exists() {
        if (!m_exists) m_exists = m_questions.exists && m_questions.exists();
        return *m_exists;
    }
    const std::optional<FileTimeStamp>& TimeStamp() {
        if (!m_stampAsked) {
            m_stampAsked = true;
            if (m_questions.timeStamp) m_stamp = m_questions.timeStamp();
        }
        return m_stamp;
    }
    const std::u16string& Version() {
        if (!m_version) m_version = m_questions.version ? m_questions.version() : std::u16string();
        return *m_version;
    }

private:
    const ExistingFileQuestions& m_questions;
    std::optional<bool> m_exists;
    bool m_stampAsked = false;
    std::optional<FileTimeStamp> m_stamp;
    std::optional<std::u16string> m_version;
};

bool IsBlankText(std::u16string_view text) {
    for (char16_t c : text) {
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
    }
    return true;
}

bool IsPermanent(const FileEntry& entry) { return (entry.flags & EntryFlags::kPermanent) != 0; }

struct RuleInput {
    const FileEntry& entry;
    std::u16string_view destination;
    bool portable;
    ExistingFile& existing;
};

// A file left as it was is not recorded: it is not this installation's to
// remove (a file an earlier version wrote is in the record carried over).
OverwriteDecision Skip(const RuleInput& in, std::u16string_view sentence) {
    OverwriteDecision decision;
    decision.logText = std::u16string(in.destination) + std::u16string(sentence);
    return decision;
}

OverwriteDecision Write(const RuleInput& in, bool existedBefore, std::u16string logText) {
    OverwriteDecision decision;
    decision.write = true;
    decision.existedBefore = existedBefore;
    decision.recordFile = !IsPermanent(in.entry) && IsRecordedKind(in.entry.kind, in.portable);
    decision.logText = std::move(logText);
    return decision;
}

// Shared files and fonts: replaced unless the existing file is at least as recent.
OverwriteDecision SharedOrFontRule(const RuleInput& in) {
    if (!in.existing.Exists()) return Write(in, false, {});
    const std::optional<FileTimeStamp>& stamp = in.existing.TimeStamp();
    bool outOfDate = !in.entry.timeStamp.IsComplete() || !stamp || CompareTimeStamps(*stamp, in.entry.timeStamp) < 0;
    if (!outOfDate) return Skip(in, u" is up to date.\r\n");
    return Write(in, true, std::u16string(in.destination) + u" is out of date and will be replaced.\r\n");
}

// System files and newer-only files: replaced only when newer by every test
// that can be made (version, then date).
OverwriteDecision NewerOnlyRule(const RuleInput& in) {
    if (!in.existing.Exists()) return Write(in, false, {});
    std::u16string reason;
    std::u16string entryVersion = EntryInfoText(in.entry);
    const std::u16string& existingVersion = in.existing.Version();
    if (!IsBlankText(entryVersion) && !IsBlankText(existingVersion)) {
        if (CompareVersions(entryVersion, existingVersion) <= 0) {
            return Skip(in, Format(u" was not installed because its version (%s) is not newer than %s\r\n",
                                   {entryVersion, existingVersion}));
        }
        reason = Format(u"its version (%s) is newer than %s", {entryVersion, existingVersion});
    }
    if (const std::optional<FileTimeStamp>& stamp = in.existing.TimeStamp()) {
        std::u16string entryDate = FormatTimeStamp(in.entry.timeStamp);
        std::u16string existingDate = FormatTimeStamp(*stamp);
        if (CompareTimeStamps(in.entry.timeStamp, *stamp) <= 0) {
            return Skip(in, Format(u" was not installed because its date (%s) is not newer than %s.\r\n",
                                   {entryDate, existingDate}));
        }
        if (!reason.empty()) reason += u" and ";
        reason += Format(u"its date (%s) is newer than %s", {entryDate, existingDate});
    }
    std::u16string log(in.destination);
    log += reason.empty() ? u" is out of date and will be replaced.\r\n" : u" needs replacement because " + reason + u"\r\n";
    return Write(in, true, std::move(log));
}

OverwriteDecision DefaultRule(const RuleInput& in) {
    switch (in.entry.kind) {
        case EntryKind::SharedFile:
        case EntryKind::Font: return SharedOrFontRule(in);
        case EntryKind::SystemFile:
        case EntryKind::SystemComServer:
        case EntryKind::SystemTypeLibrary:
        case EntryKind::NewerOnlyFile: return NewerOnlyRule(in);
        default: return Write(in, false, {});
    }
}

std::u16string WithMark(char16_t mark, std::u16string_view path) {
    std::u16string marked;
    if (mark != 0) marked += mark;
    marked += path;
    return marked;
}

}  // namespace

bool IsRecordedKind(EntryKind kind, bool portable) {
    switch (kind) {
        case EntryKind::File:
        case EntryKind::ShortcutFile:
        case EntryKind::NewerOnlyFile:
        case EntryKind::DriverInf:
        case EntryKind::MsiPackage:
        case EntryKind::ControlPanelApplet: return true;
        case EntryKind::SharedFile: return portable;
        default: return false;
    }
}

void AddToListsBeforeDecision(const FileEntry& entry, std::u16string_view destination, bool portable,
                              InstallationRecord& record) {
    bool permanent = IsPermanent(entry);
    switch (entry.kind) {
        case EntryKind::SharedFile:
            if (!portable) record.sharedCountList.push_back(WithMark(permanent ? kSharedPermanentMark : 0, destination));
            break;
        case EntryKind::SystemFile:
            record.sharedCountList.push_back(WithMark(kSharedPermanentMark, destination));
            break;
        case EntryKind::SystemComServer:
            record.comRegistrationList.emplace_back(destination);
            if (!portable) {
                record.sharedCountList.push_back(
                    WithMark(permanent ? kSharedPermanentMark : kSharedComServerMark, destination));
            }
            break;
        case EntryKind::SystemTypeLibrary:
            record.typeLibraryList.emplace_back(destination);
            record.sharedCountList.push_back(
                WithMark(permanent ? kSharedPermanentMark : kSharedTypeLibraryMark, destination));
            break;
        default: break;
    }
}

OverwriteDecision DecideOverwrite(const FileEntry& entry, std::u16string_view destination, bool portable,
                                  const ExistingFileQuestions& questions) {
    ExistingFile existing(questions);
    RuleInput in{entry, destination, portable, existing};
    switch (entry.Overwrite()) {
        case OverwriteMode::PassOver:
        case OverwriteMode::PassOverAlso: return OverwriteDecision{};
        case OverwriteMode::OnlyIfExisting:
            if (!existing.Exists()) return Skip(in, u" was not installed because it does not already exist.\r\n");
            break;
        case OverwriteMode::OnlyIfMissing:
            if (existing.Exists()) return Skip(in, u" was not installed because it already exists.\r\n");
            break;
        case OverwriteMode::UnlessExistingIsLater: {
            const std::optional<FileTimeStamp>& stamp = existing.TimeStamp();
            if (stamp && stamp->IsComplete() && entry.timeStamp.IsComplete() &&
                CompareTimeStamps(*stamp, entry.timeStamp) > 0) {
                return Skip(in, u" was not installed because the existing file is newer.\r\n");
            }
            break;
        }
        default: break;
    }
    return DefaultRule(in);
}

std::optional<ShortcutRecord> ShortcutFor(const FileEntry& entry, std::u16string_view destination) {
    bool wanted = (entry.kind == EntryKind::File && entry.HasShortcutName()) || entry.kind == EntryKind::ShortcutFile;
    if (!wanted) return std::nullopt;
    ShortcutRecord shortcut;
    shortcut.flag1 = (entry.flags & 0x01) != 0;
    shortcut.flag2 = (entry.flags & 0x02) != 0;
    shortcut.alwaysShortcut = entry.kind == EntryKind::ShortcutFile;
    shortcut.permanent = IsPermanent(entry);
    shortcut.target = std::u16string(destination);
    shortcut.description = Utf8ToUtf16(entry.info);
    shortcut.name = entry.shortcutName.value_or(std::u16string());
    shortcut.arguments = Windows1252ToUtf16(entry.arguments);
    shortcut.startIn = DecodeProgramNarrow(entry.extra);
    return shortcut;
}

std::u16string EntryInfoText(const FileEntry& entry) { return Utf8ToUtf16(entry.info); }

}  // namespace palisade
