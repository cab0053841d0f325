// The inspector's plain-text view: a short header summary, the settings that differ from their defaults, and an item table.
#include "inspector/examination_text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "builder/time_stamps.h"
#include "common/destination_checks.h"
#include "common/entry_names.h"
#include "common/flag_names.h"
#include "common/progress.h"
#include "common/report_tree.h"
#include "common/setting_keys.h"
#include "core/text.h"
#include "inspector/list_settings_report.h"
#include "payload/settings_stream.h"

namespace palisade::tools {

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string Join(const std::vector<std::string>& parts, const char* separator = " ") {
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : separator) + part;
    return out.empty() ? "(none)" : out;
}

std::string ValueText(const SettingKey& key, const InstallerSettings& settings) {
    SettingValue value = LoadValue(key, settings);
    if (key.kind == SettingValueKind::FlagWord) {
        auto word = key.key == "SettingsFlags1" ? FlagWord::SettingsFlags1 : FlagWord::SettingsFlags2;
        std::uint32_t bits = std::uint32_t(std::get<std::int64_t>(value));
        return Printf("0x%08x ", bits) + Join(DescribeFlags(word, bits));
    }
    if (auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    if (auto* real = std::get_if<double>(&value)) return Printf("%g", *real);
    if (key.kind == SettingValueKind::FileContent) return std::get<std::string>(value);
    std::string text = std::get<std::string>(value);
    text = ReplaceAll(ReplaceAll(text, "\r", "\\r"), "\n", "\\n");
    if (text.size() > 100) text = text.substr(0, 97) + "...";
    return "\"" + text + "\"";
}

void HeaderLines(const Inspection& inspection, std::string& out) {
    const SetupSection& section = *inspection.section;
    out += Printf(".setup section: entry %u, file offset %u, %u bytes, virtual address 0x%x\n", section.index,
                  section.rawPosition, section.rawSize, section.virtualAddress);
    if (!inspection.header) return;
    const PayloadHeader& header = *inspection.header;
    out += "payload header:\n";
    out += Printf("  magic 0x%08x, builder version %s\n", header.magic, header.builderVersion.c_str());
    out += Printf("  PayloadFlags 0x%08x: ", header.payloadFlags) +
           Join(DescribeFlags(FlagWord::PayloadFlags, header.payloadFlags)) + "\n";
    out += Printf("  settings block %d bytes, checksum 0x%08x\n", header.settingsSize, header.settingsChecksum);
    out += Printf("  file checksum 0x%08x, payload length %d\n", header.fileChecksum, header.payloadLength);
    out += Printf("  archive %d bytes, checksum 0x%08x, %d item(s)\n", header.archiveLength, header.archiveChecksum,
                  header.itemCount);
    if (header.payloadKey) {
        std::string key;
        for (std::uint8_t byte : *header.payloadKey) key += Printf("%02x", byte);
        out += "  PayloadKey " + key + "\n";
    }
}

// One line per entry of each list setting, with the members that say something.
void ListLines(const InstallerSettings& settings, std::string& out) {
    ReportValue lists = ReportValue::Object();
    SetListSettings(lists, settings);
    for (const auto& [name, list] : lists.Members()) {
        if (list.Elements().empty()) continue;
        out += "  " + name + ":\n";
        for (const ReportValue& entry : list.Elements()) {
            std::string line;
            for (const auto& [key, value] : entry.Members()) {
                std::string shown;
                switch (value.GetType()) {
                    case ReportValue::Type::Text:
                        if (!value.Text().empty()) shown = "\"" + ReplaceAll(ReplaceAll(value.Text(), "\r", "\\r"), "\n", "\\n") + "\"";
                        break;
                    case ReportValue::Type::Integer: shown = std::to_string(value.Integer()); break;
                    case ReportValue::Type::Boolean: shown = value.Boolean() ? "true" : ""; break;
                    case ReportValue::Type::Array:
                        for (const ReportValue& element : value.Elements()) shown += (shown.empty() ? "" : ",") + element.Text();
                        break;
                    default: break;
                }
                if (!shown.empty()) line += (line.empty() ? "" : " ") + key + "=" + shown;
            }
            out += "    - " + line + "\n";
        }
    }
}

void SettingsLines(const InstallerSettings& settings, std::string& out) {
    const InstallerSettings defaults;
    std::size_t hidden = 0;
    out += "settings (those that differ from the defaults; --json lists all):\n";
    for (const SettingKey& key : PlainSettingKeys()) {
        std::string value = ValueText(key, settings);
        if (value == ValueText(key, defaults) && key.key != "DisplayName") {
            ++hidden;
            continue;
        }
        out += "  " + key.key + " = " + value + "\n";
    }
    if (settings.installerOptions) {
        out += "  InstallerOptions = " + Join(DescribeFlags(FlagWord::InstallerOptions, settings.installerOptions)) + "\n";
    }
    const CalendarTime& d = settings.buildDate;
    if (d.HasDate()) out += Printf("  BuildDate = %04d-%02d-%02d %02d:%02d:%02d\n", d.year, d.month, d.day, d.hour, d.minute, d.second);
    const MinimumSystemVersion& v = settings.minimumSystemVersion;
    if (!v.IsEmpty()) out += Printf("  MinimumSystemVersion = %u.%u.%u\n", v.major, v.minor, v.build);
    auto count = [&out](const char* name, std::size_t n) {
        if (n) out += Printf("  %s: %zu\n", name, n);
    };
    count("LicenceTexts", settings.licenceTexts.size());
    count("ReadmeTexts", settings.readmeTexts.size());
    ListLines(settings, out);
    if (!settings.backgroundPicture.empty()) out += Printf("  BackgroundPicture: %zu bytes\n", settings.backgroundPicture.size());
    out += Printf("  (%zu plain settings at their defaults)\n", hidden);
}

void LanguageLines(const MessageCatalogue& catalogue, std::string& out) {
    std::vector<std::string> parts;
    for (std::size_t language = 0; language < catalogue.LanguageCount(); ++language) {
        std::size_t filled = 0;
        for (std::size_t message = 0; message < catalogue.MessageCount(); ++message) {
            filled += catalogue.Text(message, language).empty() ? 0 : 1;
        }
        parts.push_back(Utf16ToUtf8(catalogue.Languages()[language]) +
                        (language == catalogue.DefaultLanguage() ? " (default, " : " (") + std::to_string(filled) +
                        " of " + std::to_string(catalogue.MessageCount()) + " messages)");
    }
    out += "languages: " + Join(parts, ", ") + "\n";
}

std::string ItemFlags(const FileEntry& entry) {
    std::vector<std::string> parts;
    if (OverwriteName(entry.flags) != "default") parts.push_back("overwrite=" + OverwriteName(entry.flags));
    if (entry.flags & EntryFlags::kShortcutMask) parts.push_back("shortcut=" + ShortcutName(entry.flags));
    if (entry.flags & EntryFlags::kPermanent) parts.push_back("permanent");
    if (entry.flags & EntryFlags::kToUninstallFolder) parts.push_back("uninstall-folder");
    if (entry.flags & EntryFlags::kRecordMsiPackage) parts.push_back("record-msi");
    for (const std::string& attribute : AttributeList(entry.attributes)) parts.push_back(attribute);
    return parts.empty() ? "-" : Join(parts, ",");
}

void ItemLines(const std::vector<InspectedItem>& items, std::string& out) {
    std::uint64_t total = 0;
    for (const InspectedItem& item : items) total += item.dataSize;
    out += "items: " + std::to_string(items.size()) + ", " + ByteCount(total) + "\n";
    if (items.empty()) return;
    out += Printf("  %-14s %10s  %-19s  %-22s %s\n", "KIND", "SIZE", "TIME (UTC)", "FLAGS", "DESTINATION");
    for (const InspectedItem& item : items) {
        const FileEntry& entry = item.entry;
        std::string name = Utf16ToUtf8(DecodeNarrowText(entry.name));
        std::string override = Utf16ToUtf8(entry.destinationOverride);
        std::string destination = override.empty() ? name
                                  : override.back() == '\\' ? override + name
                                  : override.find('\\') == std::string::npos ? override + "  (renamed from " + name + ")"
                                                                             : override;
        out += Printf("  %-14s %10zu  %-19s  %-22s ", KindName(entry.kind).c_str(), item.dataSize,
                      TimeStampText(entry.timeStamp).c_str(), ItemFlags(entry).c_str()) + destination + "\n";
        std::u16string effective = EffectiveDestination(entry.destinationOverride, DecodeNarrowText(entry.name));
        for (const std::string& reason : UnusualDestination(effective)) {
            out += "    ! unusual destination: " + reason + "\n";
        }
    }
}

}  // namespace

std::string RenderInspectionText(const Inspection& inspection, const std::string& path) {
    std::string out = path + ": " + ByteCount(inspection.fileSize) + "\n";
    if (inspection.section) HeaderLines(inspection, out);
    if (inspection.settings) {
        if (inspection.integrityCrc) {
            out += Printf("integrity: mode %d, head checksum 0x%08x\n", inspection.settings->integrityMode,
                          *inspection.integrityCrc);
        }
        out += std::string("signature: ") + (inspection.signedInstaller ? "the file is signed" : "none") + "\n";
        if (inspection.uninstaller) {
            out += Printf("uninstaller: %s, %zu bytes%s\n",
                          inspection.uninstaller->carried ? "carried ready-made" : "stripped at installation",
                          inspection.uninstaller->size, inspection.uninstaller->signedImage ? ", signed" : "");
        }
        SettingsLines(*inspection.settings, out);
        LanguageLines(inspection.settings->messageCatalogue, out);
    }
    if (inspection.header && !inspection.items.empty()) ItemLines(inspection.items, out);
    if (inspection.Failed()) {
        out += inspection.errorCode ? Printf("DAMAGED: error code %d: ", inspection.errorCode) : std::string("PROBLEM: ");
        out += inspection.failedCheck + "\n";
    }
    return out;
}

}  // namespace palisade::tools
