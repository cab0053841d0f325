// Composes Uninstall.DAT from the installation record and the settings.
#include "uninstall/uninstall_data.h"

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

void AppendStrings(std::string& out, const InstallerSettings& settings) {
    AppendHeader(out, "[Strings]");
    for (int number : kUninstallerMessageNumbers) {
        out += "~" + std::to_string(number) + "\r\n";
        out += Utf16ToUtf8(settings.messageCatalogue.Message(number));
        out += "\r\n";
    }
    out += "~" + std::to_string(kPageTextMessageNumber) + "\r\n";
    out += Utf16ToUtf8(settings.pageText);
    out += "\r\n";
}

}  // namespace

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
