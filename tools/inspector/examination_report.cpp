// The inspector's report of an installer: header, flags, settings, languages and items, as one tree.
#include "inspector/examination_report.h"

#include <cstdio>

#include "builder/time_stamps.h"
#include "common/destination_checks.h"
#include "common/entry_names.h"
#include "common/flag_names.h"
#include "common/setting_keys.h"
#include "inspector/list_settings_report.h"
#include "core/text.h"
#include "payload/settings_stream.h"

namespace palisade::tools {

namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

ReportValue FlagValue(FlagWord word, std::uint32_t value) {
    ReportValue flags = ReportValue::Object();
    flags.Set("value", Hex(value));
    flags.Set("names", ReportValue::TextList(DescribeFlags(word, value)));
    return flags;
}

ReportValue HeaderReport(const Inspection& inspection) {
    const PayloadHeader& header = *inspection.header;
    ReportValue out = ReportValue::Object();
    out.Set("magic", Hex(header.magic));
    out.Set("builderVersion", header.builderVersion);
    out.Set("PayloadFlags", FlagValue(FlagWord::PayloadFlags, header.payloadFlags));
    out.Set("settingsSize", std::int64_t(header.settingsSize));
    out.Set("settingsChecksum", Hex(header.settingsChecksum));
    out.Set("fileChecksum", Hex(header.fileChecksum));
    out.Set("payloadLength", std::int64_t(header.payloadLength));
    out.Set("itemCount", std::int64_t(header.itemCount));
    out.Set("archiveLength", std::int64_t(header.archiveLength));
    out.Set("archiveChecksum", Hex(header.archiveChecksum));
    if (header.payloadKey) {
        std::string key;
        char digits[3];
        for (std::uint8_t byte : *header.payloadKey) {
            std::snprintf(digits, sizeof digits, "%02x", byte);
            key += digits;
        }
        out.Set("PayloadKey", key);
    }
    return out;
}

ReportValue PlainSetting(const SettingKey& key, const InstallerSettings& settings) {
    SettingValue value = LoadValue(key, settings);
    if (key.kind == SettingValueKind::FlagWord) {
        FlagWord word = key.key == "SettingsFlags1" ? FlagWord::SettingsFlags1 : FlagWord::SettingsFlags2;
        return FlagValue(word, std::uint32_t(std::get<std::int64_t>(value)));
    }
    if (auto* number = std::get_if<std::int64_t>(&value)) return *number;
    if (auto* real = std::get_if<double>(&value)) return *real;
    return std::get<std::string>(value);
}

ReportValue RecordSettings(const InstallerSettings& settings) {
    ReportValue out = ReportValue::Object();
    out.Set("InstallerOptions", FlagValue(FlagWord::InstallerOptions, settings.installerOptions));
    out.Set("FixedSize", settings.fixedSize);
    out.Set("ReserveSize", settings.reserveSize);
    ReportValue& places = out.Set("ShortcutPlacements", ReportValue::Object());
    const ShortcutPlacements& p = settings.shortcutPlacements;
    places.Set("Flag1", ReportValue::TextList(DescribeFlags(FlagWord::ShortcutPlacement, p.forFlag1)));
    places.Set("Flag2", ReportValue::TextList(DescribeFlags(FlagWord::ShortcutPlacement, p.forFlag2)));
    places.Set("Kind5", ReportValue::TextList(DescribeFlags(FlagWord::ShortcutPlacement, p.forKind5)));
    places.Set("Uninstaller", ReportValue::TextList(DescribeFlags(FlagWord::ShortcutPlacement, p.forUninstaller)));
    const MinimumSystemVersion& v = settings.minimumSystemVersion;
    out.Set("MinimumSystemVersion", v.IsEmpty() ? std::string("none")
                                                : std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                                                      std::to_string(v.build));
    const CalendarTime& d = settings.buildDate;
    char date[40] = "none";
    if (d.HasDate()) {
        std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                      d.second);
    }
    out.Set("BuildDate", std::string(date));
    auto sizes = [](const std::vector<ByteBlob>& documents) {
        ReportValue list = ReportValue::Array();
        for (const ByteBlob& document : documents) list.Add(std::uint64_t(document.size()));
        return list;
    };
    out.Set("LicenceTexts", sizes(settings.licenceTexts));
    out.Set("ReadmeTexts", sizes(settings.readmeTexts));
    out.Set("BackgroundPicture", std::to_string(settings.backgroundPicture.size()) + " bytes");
    SetListSettings(out, settings);
    return out;
}

ReportValue LanguagesReport(const MessageCatalogue& catalogue) {
    ReportValue list = ReportValue::Array();
    for (std::size_t language = 0; language < catalogue.LanguageCount(); ++language) {
        std::size_t nonEmpty = 0;
        for (std::size_t message = 0; message < catalogue.MessageCount(); ++message) {
            nonEmpty += catalogue.Text(message, language).empty() ? 0 : 1;
        }
        ReportValue& entry = list.Add(ReportValue::Object());
        entry.Set("name", Utf16ToUtf8(catalogue.Languages()[language]));
        entry.Set("messages", std::uint64_t(catalogue.MessageCount()));
        entry.Set("nonEmpty", std::uint64_t(nonEmpty));
        entry.Set("default", language == catalogue.DefaultLanguage());
    }
    return list;
}

ReportValue ItemReport(const InspectedItem& item) {
    const FileEntry& entry = item.entry;
    ReportValue out = ReportValue::Object();
    out.Set("name", Utf16ToUtf8(DecodeNarrowText(entry.name)));
    out.Set("kind", KindName(entry.kind));
    out.Set("size", std::uint64_t(item.dataSize));
    out.Set("time", TimeStampText(entry.timeStamp));
    std::u16string destination = entry.destinationOverride;
    out.Set("destination", destination.empty() ? std::string("(the kind's folder)") : Utf16ToUtf8(destination));
    ReportValue& flags = out.Set("flags", ReportValue::Object());
    flags.Set("value", Hex(entry.flags));
    flags.Set("overwrite", OverwriteName(entry.flags));
    flags.Set("shortcut", ShortcutName(entry.flags));
    flags.Set("permanent", (entry.flags & EntryFlags::kPermanent) != 0);
    flags.Set("toUninstallFolder", (entry.flags & EntryFlags::kToUninstallFolder) != 0);
    if (entry.kind == EntryKind::MsiPackage) flags.Set("recordMsi", (entry.flags & EntryFlags::kRecordMsiPackage) != 0);
    out.Set("attributes", entry.attributes == -1 ? ReportValue("unchanged")
                                                 : ReportValue::TextList(AttributeList(entry.attributes)));
    if (!entry.info.empty()) out.Set("info", entry.info);
    if (entry.shortcutName) out.Set("shortcutName", Utf16ToUtf8(*entry.shortcutName));
    if (!entry.arguments.empty()) out.Set("arguments", Utf16ToUtf8(Windows1252ToUtf16(entry.arguments)));
    if (!entry.extra.empty()) out.Set("extra", Utf16ToUtf8(DecodeNarrowText(entry.extra)));
    if (entry.msiUiLevel) out.Set("msiUiLevel", std::int64_t(*entry.msiUiLevel));
    std::vector<std::string> unusual =
        UnusualDestination(EffectiveDestination(entry.destinationOverride, DecodeNarrowText(entry.name)));
    if (!unusual.empty()) out.Set("unusualDestination", ReportValue::TextList(unusual));
    out.Set("checksum", Hex(entry.dataChecksum));
    return out;
}

}  // namespace

ReportValue BuildReport(const Inspection& inspection) {
    ReportValue report = ReportValue::Object();
    report.Set("fileSize", inspection.fileSize);
    if (inspection.section) {
        ReportValue& section = report.Set("section", ReportValue::Object());
        section.Set("index", std::int64_t(inspection.section->index));
        section.Set("virtualAddress", Hex(inspection.section->virtualAddress));
        section.Set("rawPosition", std::uint64_t(inspection.section->rawPosition));
        section.Set("rawSize", std::uint64_t(inspection.section->rawSize));
    }
    if (inspection.header) report.Set("header", HeaderReport(inspection));
    if (inspection.settings) {
        const InstallerSettings& settings = *inspection.settings;
        if (inspection.integrityCrc) {
            ReportValue& integrity = report.Set("integrity", ReportValue::Object());
            integrity.Set("mode", std::int64_t(settings.integrityMode));
            integrity.Set("headChecksum", Hex(*inspection.integrityCrc));
        }
        report.Set("signed", inspection.signedInstaller);
        if (inspection.uninstaller) {
            ReportValue& uninstaller = report.Set("uninstaller", ReportValue::Object());
            uninstaller.Set("carried", inspection.uninstaller->carried);
            uninstaller.Set("signed", inspection.uninstaller->signedImage);
            uninstaller.Set("size", std::uint64_t(inspection.uninstaller->size));
        }
        ReportValue& out = report.Set("settings", ReportValue::Object());
        for (const SettingKey& key : PlainSettingKeys()) out.Set(key.key, PlainSetting(key, settings));
        ReportValue records = RecordSettings(settings);
        for (const auto& [name, value] : records.Members()) out.Set(name, value);
        report.Set("languages", LanguagesReport(settings.messageCatalogue));
    }
    ReportValue& items = report.Set("items", ReportValue::Array());
    for (const InspectedItem& item : inspection.items) items.Add(ItemReport(item));
    if (inspection.Failed()) {
        ReportValue& error = report.Set("error", ReportValue::Object());
        error.Set("code", std::int64_t(inspection.errorCode));
        error.Set("check", inspection.failedCheck);
    }
    return report;
}

}  // namespace palisade::tools
