// The list settings of an installer as report arrays.
#include "inspector/list_settings_report.h"

#include <string>

#include "common/flag_names.h"
#include "core/text.h"
#include "payload/settings_stream.h"

namespace palisade::tools {

namespace {

std::string Narrow(const std::string& stored) { return Utf16ToUtf8(DecodeNarrowText(stored)); }

std::string NameOf(std::uint32_t value, std::initializer_list<const char*> names, std::uint32_t first = 0) {
    if (value >= first && value - first < names.size()) return *(names.begin() + (value - first));
    return std::to_string(value);
}

ReportValue Deletions(const std::vector<FileDeletion>& deletions) {
    ReportValue list = ReportValue::Array();
    for (const FileDeletion& deletion : deletions) {
        ReportValue& entry = list.Add(ReportValue::Object());
        entry.Set("Path", Narrow(deletion.pathPattern));
        entry.Set("Condition", std::int64_t(deletion.condition));
        entry.Set("Reference", Narrow(deletion.reference));
        entry.Set("Flags", ReportValue::TextList(DescribeFlags(FlagWord::DeletionFlags, deletion.flags)));
    }
    return list;
}

ReportValue Associations(const std::vector<FileAssociation>& associations) {
    ReportValue list = ReportValue::Array();
    for (const FileAssociation& association : associations) {
        ReportValue& entry = list.Add(ReportValue::Object());
        entry.Set("Extension", Narrow(association.extension));
        entry.Set("Mode", NameOf(association.mode, {"full", "open-with"}, 1));
        entry.Set("ProgId", Narrow(association.progId));
        entry.Set("Verbs", Narrow(association.verbs));
        entry.Set("Icon", Narrow(association.icon));
        entry.Set("Description", Utf16ToUtf8(association.description));
        entry.Set("Command", Utf16ToUtf8(association.command));
        entry.Set("VerbLabel", Utf16ToUtf8(association.verbLabel));
    }
    return list;
}

ReportValue Shortcuts(const std::vector<AuthorShortcut>& shortcuts) {
    ReportValue list = ReportValue::Array();
    for (const AuthorShortcut& shortcut : shortcuts) {
        ReportValue& entry = list.Add(ReportValue::Object());
        entry.Set("Name", Utf16ToUtf8(shortcut.name));
        entry.Set("Target", Utf16ToUtf8(shortcut.target));
        entry.Set("Arguments", Utf16ToUtf8(shortcut.arguments));
        entry.Set("Description", Utf16ToUtf8(shortcut.description));
        entry.Set("Folder", Utf16ToUtf8(shortcut.folder));
        entry.Set("Placements", ReportValue::TextList(DescribeFlags(FlagWord::ShortcutPlacement, shortcut.placements)));
        entry.Set("ShowCommand", std::int64_t(shortcut.showCommand));
        entry.Set("StartIn", Narrow(shortcut.startIn));
        entry.Set("IconIndex", std::int64_t(shortcut.iconIndex));
        entry.Set("Permanent", (shortcut.flags & kShortcutPermanent) != 0);
        entry.Set("ExpandTarget", (shortcut.flags & kShortcutExpandTarget) != 0);
    }
    return list;
}

ReportValue UninstallValues(const std::vector<UninstallValue>& values) {
    ReportValue list = ReportValue::Array();
    for (const UninstallValue& value : values) {
        ReportValue& entry = list.Add(ReportValue::Object());
        entry.Set("Name", Narrow(value.name));
        entry.Set("Type", NameOf(value.type, {"REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"}, 1));
        entry.Set("Value", Utf16ToUtf8(value.value));
    }
    return list;
}

ReportValue AutoClose(const std::vector<AutoCloseEntry>& entries) {
    ReportValue list = ReportValue::Array();
    for (const AutoCloseEntry& closing : entries) {
        ReportValue& entry = list.Add(ReportValue::Object());
        entry.Set("Application", Utf16ToUtf8(closing.applicationName));
        entry.Set("Class", Utf16ToUtf8(closing.classPattern));
        entry.Set("Title", Utf16ToUtf8(closing.titlePattern));
        entry.Set("Action", NameOf(closing.action, {"close", "quit", "ask", "terminate"}));
        entry.Set("Phases", std::int64_t(closing.phaseMask));
    }
    return list;
}

}  // namespace

void SetListSettings(ReportValue& out, const InstallerSettings& settings) {
    out.Set("FileDeletions", Deletions(settings.fileDeletions));
    out.Set("FileAssociations", Associations(settings.fileAssociations));
    out.Set("AuthorShortcuts", Shortcuts(settings.authorShortcuts));
    out.Set("UninstallValues", UninstallValues(settings.uninstallValues));
    out.Set("AutoCloseEntries", AutoClose(settings.autoCloseEntries));
}

}  // namespace palisade::tools
