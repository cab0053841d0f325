// Composes Uninstall.DAT from the installation record and the settings.
#include "uninstall/uninstall_data.h"

#include <set>

#include "core/text.h"
#include "system/auto_close.h"

namespace palisade {
namespace {

void AppendHeader(std::string& out, const char* header) {
    out += "\r\n\r\n";
    out += header;
    out += "\r\n";
}

void AppendSectionWhenNotEmpty(std::string& out, const char* header, const std::string& text) {
    if (text.empty()) return;
    AppendHeader(out, header);
    out += text;
}

// A message's lines, each one that could be read as the start of a message
// ("~N"), a section header ("[...]") or an escaped line marked with a
// backslash, which the reader takes off again.
std::string EscapedMessage(std::u16string_view text) {
    std::string utf8 = Utf16ToUtf8(text);
    std::string out;
    std::size_t start = 0;
    while (start <= utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        char first = start < utf8.size() ? utf8[start] : '\0';
        if (first == '~' || first == '[' || first == '\\') out += '\\';
        out.append(utf8, start, end + 1 - start);
        start = end + 1;
    }
    return out;
}

void AppendMessage(std::string& out, int number, std::u16string_view text) {
    out += "~" + std::to_string(number) + "\r\n";
    out += EscapedMessage(text);
    out += "\r\n";
}

void AppendStrings(std::string& out, const InstallerSettings& settings) {
    AppendHeader(out, "[Strings]");
    for (int number : kUninstallerMessageNumbers) AppendMessage(out, number, settings.messageCatalogue.Message(number));
    AppendMessage(out, kPageTextMessageNumber, settings.pageText);
}

UninstallItemType ItemTypeOf(UninstallLineKind kind) {
    switch (kind) {
        case UninstallLineKind::File: return UninstallItemType::File;
        case UninstallLineKind::Folder: return UninstallItemType::Folder;
        case UninstallLineKind::InstallFolder: return UninstallItemType::InstallFolder;
        case UninstallLineKind::ActionItem: return UninstallItemType::ActionItem;
        case UninstallLineKind::RegistryKey: return UninstallItemType::RegistryKey;
    }
    return UninstallItemType::File;
}

// The lines of a section text (CR LF after each).
std::set<std::string> LinesOf(std::string_view section) {
    std::set<std::string> lines;
    std::size_t start = 0;
    while (start < section.size()) {
        std::size_t end = section.find("\r\n", start);
        if (end == std::string_view::npos) end = section.size();
        lines.emplace(section.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Appends the lines of `previous` that `section` does not hold yet.
void AddMissingLines(const std::vector<std::string>& previous, std::string& section) {
    std::set<std::string> present = LinesOf(section);
    for (const std::string& line : previous) {
        if (!present.insert(line).second) continue;
        if (!section.empty() && section.back() != '\n') section += "\r\n";
        section += line + "\r\n";
    }
}

}  // namespace

void CarryOverPreviousRecord(const UninstallDataContents& previous, InstallationRecord& record) {
    for (const UninstallLine& line : previous.items) record.uninstallItems.Record(line.path, ItemTypeOf(line.kind));
    AddMissingLines(previous.associations, record.associations);
    AddMissingLines(previous.firewall, record.firewall);
    AddMissingLines(previous.inf, record.inf);
    AddMissingLines(previous.msi, record.msi);
    std::string registry2 = Utf16ToUtf8(record.registry2);
    AddMissingLines(previous.registry2, registry2);
    record.registry2 = Utf8ToUtf16(registry2);
    AddMissingLines(previous.conditionalDelete, record.conditionalDelete);
}

std::string ComposeUninstallData(const InstallationRecord& record, const InstallerSettings& settings) {
    std::string out = record.uninstallItems.Text();
    AppendStrings(out, settings);
    // Only the entries meant for the uninstaller travel; install-only ones stay behind.
    std::vector<AutoCloseEntry> autoClose = EntriesKeptForUninstaller(settings.autoCloseEntries);
    if (!autoClose.empty()) {
        AppendHeader(out, "[AutoClose]");
        for (const AutoCloseEntry& entry : autoClose) out += AutoCloseLine(entry);
    }
    AppendSectionWhenNotEmpty(out, "[Associations]", record.associations);
    AppendSectionWhenNotEmpty(out, "[Firewall]", record.firewall);
    AppendSectionWhenNotEmpty(out, "[INF]", record.inf);
    AppendSectionWhenNotEmpty(out, "[MSI]", record.msi);
    AppendSectionWhenNotEmpty(out, "[Registry2]", Utf16ToUtf8(record.registry2));
    AppendSectionWhenNotEmpty(out, "[ConditionalDelete]", record.conditionalDelete);
    return out;
}

}  // namespace palisade
