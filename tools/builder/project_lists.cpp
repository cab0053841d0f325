// The list settings of a project file: deletions, associations, shortcuts, uninstall values, applications to close.
#include "builder/project_sections.h"

#include <charconv>

#include "actions/association_plan.h"
#include "common/project_keys.h"
#include "common/setting_keys.h"
#include "core/text.h"
#include "uninstall/conditional_delete.h"

namespace palisade::tools {

namespace {

// Reads the keys of one list record, reporting misuse against the record's table.
class RecordReader {
public:
    RecordReader(TomlReader& reader, const toml::table& table, std::string where)
        : m_reader(reader), m_table(table), m_where(std::move(where)) {}

    // The keys the project key table gives the list `list`.
    void Known(const std::string& list) { m_reader.CheckKnownKeys(m_table, KeyNames(MembersOf(list)), m_where); }
    void Wide(const char* key, std::u16string& target) {
        if (auto text = m_reader.String(m_table, key)) target = Utf8ToUtf16(*text);
    }
    void Narrow(const char* key, std::string& target) {
        auto text = m_reader.String(m_table, key);
        if (!text) return;
        if (auto narrow = Utf8ToWindows1252(*text)) {
            target = *narrow;
        } else {
            m_reader.Error(*m_table.get(key), std::string("'") + key + "' must be text that Windows-1252 can hold");
        }
    }
    void Path(const char* key, std::string& target) {
        if (auto text = m_reader.String(m_table, key)) target = NarrowPathText(*text);
    }
    template <typename T>
    void Integer(const char* key, T& target, std::int64_t min, std::int64_t max) {
        if (auto value = m_reader.Integer(m_table, key, min, max)) target = T(*value);
    }
    void Flags(const char* key, FlagWord word, std::uint8_t& target) {
        if (const toml::node* node = m_table.get(key)) {
            if (auto value = ReadFlagWord(m_reader, *node, word, key); value && *value <= 0xFF) target = std::uint8_t(*value);
        }
    }
    void Bit(const char* key, std::uint8_t bit, std::uint8_t& target) {
        if (auto value = m_reader.Bool(m_table, key)) target = *value ? (target | bit) : (target & ~bit);
    }
    // A key chosen from names, each standing for a number.
    template <typename T>
    void Choice(const char* key, const std::vector<std::pair<std::string, T>>& choices, T& target) {
        auto text = m_reader.String(m_table, key);
        if (!text) return;
        for (const auto& [name, value] : choices) {
            if (*text == name) {
                target = value;
                return;
            }
        }
        std::string names;
        for (const auto& choice : choices) names += (names.empty() ? "" : ", ") + choice.first;
        m_reader.Error(*m_table.get(key), std::string("'") + key + "' must be one of " + names);
    }
    // A text for each verb of an association: one string serves every verb,
    // a list gives each verb its own, stored one line each.
    void PerVerb(const char* key, std::size_t verbCount, std::u16string& target) {
        std::optional<std::vector<std::string>> list = m_reader.StringList(m_table, key);
        if (!list) return;
        if (list->size() > 1 && list->size() != verbCount) {
            ErrorAt(key, std::string("'") + key + "' gives " + std::to_string(list->size()) + " texts for " +
                             std::to_string(verbCount) + " verbs: give one for every verb, or one for all");
            return;
        }
        std::string joined;
        for (const std::string& text : *list) {
            if (text.find_first_of("\r\n") != std::string::npos) {
                ErrorAt(key, std::string("'") + key + "' must not hold a line break");
                return;
            }
            joined += (joined.empty() ? "" : "\r\n") + text;
        }
        target = Utf8ToUtf16(joined);
    }
    // An error at `key`, which the record holds.
    void ErrorAt(const char* key, const std::string& message) { m_reader.Error(*m_table.get(key), message); }
    void Require(const char* key) {
        if (!m_table.get(key)) m_reader.Error(m_table, m_where + " needs '" + key + "'");
    }

private:
    TomlReader& m_reader;
    const toml::table& m_table;
    std::string m_where;
};

// Decimal digits, blanks around them allowed, that fit 64 bits: what the
// installer reads as a size.
bool IsByteCount(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos) return false;
    text = text.substr(first, last - first + 1);
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// What is wrong with a deletion's reference, or empty. The installer ends
// with error 65 on a date it cannot read, and keeps every file for a size
// that is no number. The uninstaller's record of the deletion is one line, so
// a line break would cut it in two.
std::string DeletionReferenceProblem(const FileDeletion& deletion) {
    if (deletion.reference.find_first_of("\r\n") != std::string::npos) {
        return "'Reference' must not hold a line break";
    }
    if (HasUnreadableDate(deletion)) {
        return "'Reference' must be a date, \"YYYY-MM-DD\" or \"YYYY/MM/DD\", optionally followed by \"HH:MM\" or "
               "\"HH:MM:SS\", for Condition " + std::to_string(deletion.condition);
    }
    if (deletion.condition == 4 && !IsByteCount(deletion.reference)) {
        return "'Reference' must be a size in bytes (decimal digits) for Condition 4";
    }
    return {};
}

FileDeletion ReadDeletion(RecordReader& record) {
    record.Known("FileDeletions");
    record.Require("Path");
    FileDeletion deletion;
    record.Path("Path", deletion.pathPattern);
    record.Integer("Condition", deletion.condition, 0, 255);
    record.Narrow("Reference", deletion.reference);
    record.Flags("Flags", FlagWord::DeletionFlags, deletion.flags);
    if (deletion.pathPattern.find_first_of("\r\n") != std::string::npos) {
        record.ErrorAt("Path", "'Path' must not hold a line break");
    }
    std::string problem = DeletionReferenceProblem(deletion);
    if (!problem.empty()) record.ErrorAt(deletion.reference.empty() ? "Condition" : "Reference", problem);
    return deletion;
}

FileAssociation ReadAssociation(RecordReader& record) {
    record.Known("FileAssociations");
    record.Require("Extension");
    FileAssociation association;
    record.Choice<std::uint32_t>("Mode", {{"full", 1}, {"open-with", 2}}, association.mode);
    record.Narrow("Extension", association.extension);
    record.Narrow("ProgId", association.progId);
    record.Narrow("Verbs", association.verbs);
    record.Path("Icon", association.icon);
    record.Wide("Description", association.description);
    std::size_t verbCount = AssociationVerbs(Utf8ToUtf16(association.verbs)).size();
    record.PerVerb("Command", verbCount, association.command);
    record.PerVerb("VerbLabel", verbCount, association.verbLabel);
    const std::string& extension = association.extension;
    if (!extension.empty() && (extension[0] != '.' || extension.size() < 2 ||
                               extension.find_first_of("\\/ \t.", 1) != std::string::npos)) {
        record.ErrorAt("Extension", "'Extension' must be one extension with its period, e.g. \".txt\"");
    }
    return association;
}

AuthorShortcut ReadShortcut(RecordReader& record) {
    record.Known("AuthorShortcuts");
    record.Require("Name");
    record.Require("Target");
    AuthorShortcut shortcut;
    record.Wide("Name", shortcut.name);
    record.Wide("Description", shortcut.description);
    record.Wide("Target", shortcut.target);
    record.Wide("Arguments", shortcut.arguments);
    record.Wide("Folder", shortcut.folder);
    record.Flags("Placements", FlagWord::ShortcutPlacement, shortcut.placements);
    record.Integer("ShowCommand", shortcut.showCommand, 0, 255);
    record.Path("StartIn", shortcut.startIn);
    record.Integer("IconIndex", shortcut.iconIndex, 0, 255);
    record.Bit("Permanent", kShortcutPermanent, shortcut.flags);
    record.Bit("ExpandTarget", kShortcutExpandTarget, shortcut.flags);
    return shortcut;
}

UninstallValue ReadUninstallValue(RecordReader& record) {
    record.Known("UninstallValues");
    record.Require("Name");
    UninstallValue value;
    record.Narrow("Name", value.name);
    record.Choice<std::uint8_t>("Type", {{"REG_SZ", 1}, {"REG_EXPAND_SZ", 2}, {"REG_DWORD", 4}}, value.type);
    record.Wide("Value", value.value);
    return value;
}

AutoCloseEntry ReadAutoClose(RecordReader& record) {
    record.Known("AutoCloseEntries");
    record.Require("Application");
    AutoCloseEntry entry;
    record.Wide("Class", entry.classPattern);
    record.Wide("Title", entry.titlePattern);
    record.Wide("Application", entry.applicationName);
    record.Choice<std::uint8_t>("Action", {{"close", 0}, {"quit", 1}, {"ask", 2}, {"terminate", 3}}, entry.action);
    record.Integer("Phases", entry.phaseMask, 0, 255);
    return entry;
}

template <typename Record, typename ReadFn>
void ReadList(TomlReader& reader, const toml::table& root, const char* key, std::vector<Record>& list,
              ReadFn readRecord) {
    const std::vector<const toml::table*> tables = reader.TableList(root, key);
    if (tables.empty()) return;
    list.clear();
    for (const toml::table* table : tables) {
        RecordReader record(reader, *table, std::string("[[") + key + "]]");
        list.push_back(readRecord(record));
    }
    if (list.size() > std::size_t(kMaxListEntries)) {
        reader.Error(*root.get(key), std::string("'") + key + "' holds at most " + std::to_string(kMaxListEntries) +
                                         " entries");
    }
}

}  // namespace

void ReadSettingLists(TomlReader& reader, const toml::table& root, InstallerSettings& settings) {
    ReadList(reader, root, "FileDeletions", settings.fileDeletions, ReadDeletion);
    ReadList(reader, root, "FileAssociations", settings.fileAssociations, ReadAssociation);
    ReadList(reader, root, "AuthorShortcuts", settings.authorShortcuts, ReadShortcut);
    ReadList(reader, root, "UninstallValues", settings.uninstallValues, ReadUninstallValue);
    ReadList(reader, root, "AutoCloseEntries", settings.autoCloseEntries, ReadAutoClose);
}

}  // namespace palisade::tools
