// The texts of component registration.
#include "actions/component_texts.h"

#include <algorithm>

#include "actions/file_destination.h"
#include "core/command_arguments.h"
#include "core/format.h"
#include "core/program_narrow.h"
#include "core/text.h"

namespace palisade {
namespace {

bool IsBlankText(std::u16string_view text) { return std::all_of(text.begin(), text.end(), IsBlank); }

std::u16string WithoutExtension(std::u16string_view fileName) {
    std::size_t dot = fileName.rfind(u'.');
    return std::u16string(dot == std::u16string_view::npos ? fileName : fileName.substr(0, dot));
}

}  // namespace

std::u16string ComponentProgressText(std::u16string_view message77, std::u16string_view item) {
    return ReplaceAll(message77, u"<file>", item);
}

std::u16string_view FontsRegistryKey(bool windows9x) {
    return windows9x ? u"Software\\Microsoft\\Windows\\CurrentVersion\\Fonts"
                     : u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
}

std::int32_t EffectiveMsiUiLevel(std::optional<std::int32_t> entryLevel, bool silent) {
    constexpr std::int32_t kBasicUi = 2;
    return silent ? kBasicUi : entryLevel.value_or(kBasicUi);
}

std::u16string MsiStartLine(std::u16string_view packagePath) {
    return u"Installing MSI package \"" + std::u16string(packagePath) + u"\"...";
}

std::u16string MsiFailureLine(std::int32_t result, std::u16string_view systemText) {
    return u"FAILED code " + ToU16(result) + u": " + std::u16string(systemText) + u"\r\n";
}

std::string MsiRecordLine(std::u16string_view packagePath, std::int32_t level) {
    return "\"" + EncodeProgramNarrow(packagePath) + "\"," + std::to_string(level) + "\r\n";
}

std::u16string AppletDisplayName(std::string_view info, std::u16string_view destination) {
    std::u16string fromInfo = Utf8ToUtf16(info);
    if (!IsBlankText(fromInfo)) return fromInfo;
    return WithoutExtension(FileNameOf(destination));
}

std::u16string AppletProgressItem(std::u16string_view displayName) {
    return u"Control Panel extension \"" + std::u16string(displayName) + u"\"";
}

std::u16string AppletStartLine(std::u16string_view displayName) {
    return u"Registering control panel applet \"" + std::u16string(displayName) + u"\"...";
}

std::u16string AppletOpenCommand(std::u16string_view destination, std::u16string_view arguments) {
    std::u16string command = u"\"" + std::u16string(destination) + u"\"";
    if (!arguments.empty()) command += u" " + std::u16string(arguments);
    return command;
}

std::u16string AppletClassKey(std::u16string_view clsid) {
    return u"Software\\Classes\\CLSID\\" + std::u16string(clsid);
}

std::u16string AppletNameSpaceKey(std::u16string_view clsid) {
    return u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\" +
           std::u16string(clsid);
}

std::u16string LocalMachineKeyNotation(std::u16string_view subKey) {
    return u"\\HKLM\\" + std::u16string(subKey);
}

std::u16string AppletFailureLine(std::u16string_view systemText) {
    return u"FAILED!\r\n" + std::u16string(systemText) + u"\r\n\r\n";
}

std::u16string RegsvrArguments(std::u16string_view serverPath, bool unregister) {
    return (unregister ? u"/s /u " : u"/s ") + QuoteArgument(serverPath);
}

std::u16string ComStartLine(std::u16string_view serverPath) {
    return Format(u"Registering COM File \"%s\"...", {serverPath});
}

std::u16string ComResultLine(std::int32_t result) {
    return result == 0 ? std::u16string(kOkLine) : Format(u"FAILED, code %d\r\n", {result});
}

std::u16string ComCrashFailure(std::u16string_view path) {
    return u"Crashed while registering COM file " + FileNameOf(path) + u"\r\n";
}

std::u16string TypeLibraryStartLine(std::u16string_view libraryPath) {
    return Format(u"Registering Type Library \"%s\"...", {libraryPath});
}

std::u16string TypeLibraryFailureLine(std::u16string_view systemText) {
    return u"FAILED\r\n" + std::u16string(systemText) + u"\r\n\r\n";
}

std::u16string TypeLibraryCrashFailure(std::u16string_view path) {
    return u"Crashed while registering TLB file " + FileNameOf(path) + u"\r\n";
}

std::u16string DriverStartLine(std::u16string_view infPath) {
    return u"Installing driver \"" + std::u16string(infPath) + u"\"...";
}

std::u16string DriverSuccessLine(std::u16string_view finalInfPath) {
    return u"OK\r\nFinal driver location: " + std::u16string(finalInfPath) + u"\r\n";
}

std::u16string DriverFailureLine(std::uint32_t error, std::u16string_view systemText) {
    std::u16string text(systemText);
    if (text.empty() && error == kNoCatalogForOemInf) text = u"The INF does not contain digital signature information.";
    return u"FAILED!  Code " + ToU16(std::int64_t(error)) + u": " + text + u"\r\n";
}

std::string DriverRecordLine(std::u16string_view finalInfPath) { return EncodeProgramNarrow(finalInfPath) + "\r\n"; }

}  // namespace palisade
