// The bytes of Install.log.
#include "log/install_log_text.h"

#include "core/format.h"
#include "core/text.h"

namespace palisade {

std::u16string InstallTypeWord(int existingInstall) {
    switch (existingInstall) {
        case 0: return u"New";
        case 1: return u"Reinstall";
        case 2: return u"Upgrade";
        case 3: return u"Downgrade";
        default: return ToU16(existingInstall);
    }
}

namespace {

void AddLine(std::u16string& text, std::u16string_view label, std::u16string_view value) {
    text.append(label);
    text.append(value);
    text.append(u"\r\n");
}

std::u16string FormatInstallTime(const CalendarTime& t) {
    return Format(u"%04d/%02d/%02d %02d:%02d:%02d", {t.year, t.month, t.day, t.hour, t.minute, t.second});
}

std::u16string FormatBuildDate(const CalendarTime& d) {
    return Format(u"%04d/%02d/%02d", {d.year, d.month, d.day});
}

}  // namespace

std::u16string FormatInstallLogHeader(const InstallLogHeader& header) {
    std::u16string text;
    AddLine(text, u"Installation log for: ", header.productName);
    AddLine(text, u"Install date: ", FormatInstallTime(header.installTime));
    if (header.looksForExistingInstall) AddLine(text, u"Install type: ", InstallTypeWord(header.existingInstall));
    AddLine(text, u"Install location: ", header.installFolder);
    AddLine(text, u"Installer version: ", kInstallerVersionText);
    if (header.buildDate.month != 0) AddLine(text, u"Installer built: ", FormatBuildDate(header.buildDate));
    if (!header.productVersion.empty()) AddLine(text, u"Product version: ", header.productVersion);
    if (!header.overwrittenVersion.empty()) AddLine(text, u"Overwriting version: ", header.overwrittenVersion);
    AddLine(text, u"Operating system: ", header.osDescription);
    text.append(u"\r\n");
    return text;
}

bool ShouldWriteInstallLog(bool keepLogSetting, std::u16string_view failures) {
    return keepLogSetting || !failures.empty();
}

bool StartsWithByteOrderMark(std::string_view content) {
    return content.substr(0, 3) == std::string_view(kUtf8ByteOrderMark);
}

std::optional<std::string> ConvertLegacyLog(std::string_view existing) {
    if (existing.empty() || StartsWithByteOrderMark(existing)) return std::nullopt;
    return kUtf8ByteOrderMark + Utf16ToUtf8(Windows1252ToUtf16(existing));
}

std::string InstallLogSectionBytes(bool fileEmpty, const InstallLogSection& section) {
    std::string bytes = fileEmpty ? kUtf8ByteOrderMark : kRunSeparator;
    bytes += Utf16ToUtf8(FormatInstallLogHeader(section.header));
    bytes += section.runLog;
    bytes += "\r\n";
    if (!section.failures.empty()) {
        bytes += kFailureSummaryTitle;
        bytes += Utf16ToUtf8(section.failures);
    } else {
        bytes += Utf16ToUtf8(section.successText);
        bytes += "\r\n";
    }
    return bytes;
}

std::string RunLogReportText(std::string_view runLog, std::u16string_view failures) {
    std::string text(runLog);
    if (!failures.empty()) {
        text += "\r\n";
        text += kFailureSummaryTitle;
        text += Utf16ToUtf8(failures);
    }
    return text;
}

std::string ComposeInstallLog(std::string_view existing, const InstallLogSection& section) {
    std::optional<std::string> converted = ConvertLegacyLog(existing);
    std::string content = converted ? *converted : std::string(existing);
    content += InstallLogSectionBytes(content.empty(), section);
    return content;
}

}  // namespace palisade
