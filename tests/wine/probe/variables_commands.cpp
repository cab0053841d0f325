// Probe commands for the folder variables and the operating-system description.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "core/text.h"
#include "core/win32/wide.h"
#include "probe_commands.h"
#include "variables/expand_variables.h"
#include "variables/notify_placeholders.h"
#include "variables/os_description.h"
#include "variables/program_files_folders.h"
#include "variables/win32/os_version_win32.h"
#include "variables/win32/system_facts_win32.h"

namespace palisade::probe {
namespace {

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

// Fixed test values, each replaceable by a "name=value" argument.
bool ApplySetting(InstallationState& state, const std::string& name, const std::string& value) {
    std::u16string wide = Utf8ToUtf16(value);
    std::map<std::string, std::u16string*> texts = {
        {"install", &state.installFolder},       {"desktop", &state.desktopShortcutFolder},
        {"language", &state.languageName},       {"product", &state.productName},
        {"company", &state.companyName},         {"version", &state.productVersion},
        {"old", &state.oldVersion},              {"shared", &state.sharedFolder},
        {"startmenu", &state.startMenuFolderName}, {"uninstall", &state.uninstallDataFolder},
    };
    if (auto text = texts.find(name); text != texts.end()) {
        *text->second = wide;
        return true;
    }
    if (name == "unset") {
        // Takes a variable out of the probe's own environment, so that a
        // lookup step that reads it falls through to the next one.
        return ::SetEnvironmentVariableW(ToWide(wide).c_str(), nullptr) != 0;
    }
    int number = std::atoi(value.c_str());
    if (name == "bitness") state.bitness = std::uint8_t(number);
    else if (name == "existing") state.existingInstall = number;
    else if (name == "automatic") state.automatic = number != 0;
    else if (name == "portable") state.portable = number != 0;
    else if (name == "allusers") state.allUsers = number != 0;
    else return false;
    return true;
}

InstallationState TestState() {
    InstallationState state;
    state.installFolder = u"C:\\Program Files\\Probe App";
    state.desktopShortcutFolder = u"C:\\users\\Public\\Desktop\\Probe App";
    state.languageName = u"English";
    state.productName = u"Probe App";
    state.companyName = u"Probe Maker";
    state.productVersion = u"2.5.1";
    state.sharedFolder = u"C:\\Program Files\\Common Files\\Probe Maker";
    state.startMenuFolderName = u"Probe App";
    state.uninstallDataFolder = u"C:\\Program Files\\Probe App\\uninstall";
    return state;
}

// `expand TEXT [name=value ...]`: ExpandVariables with the fixed test state,
// changed by the settings given (install, old, bitness, allusers ...);
// `unset=NAME` removes an environment variable first.
int Expand(const std::vector<std::string>& args, std::string& out) {
    if (args.empty()) return 2;
    InstallationState state = TestState();
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::size_t eq = args[i].find('=');
        if (eq == std::string::npos || !ApplySetting(state, args[i].substr(0, eq), args[i].substr(eq + 1))) return 2;
    }
    out = Utf8(ExpandVariables(Utf8ToUtf16(args[0]), state, ProcessSystemFacts()));
    return 0;
}

// `os`: the version record, one "name=value" line per field.
int Os(const std::vector<std::string>&, std::string& out) {
    const OsVersionInfo& os = CurrentOsVersion();
    char line[256];
    std::snprintf(line, sizeof line,
                  "major=%u\nminor=%u\nbuild=%u\nplatform=%u\nsp-major=%u\nsp-minor=%u\nsuite=0x%04X\n"
                  "product-type=%u\nedition=%u\narchitecture=%u\nis64=%d\n",
                  unsigned(os.majorVersion), unsigned(os.minorVersion), unsigned(os.buildNumber),
                  unsigned(os.platformId), unsigned(os.servicePackMajor), unsigned(os.servicePackMinor),
                  unsigned(os.suiteMask), unsigned(os.productType), unsigned(os.editionCode),
                  unsigned(os.processorArchitecture), os.is64Bit ? 1 : 0);
    out = line;
    out += "sp=" + Utf8(os.servicePackText) + "\n";
    out += "wine=" + os.wineVersion.value_or("") + "\n";
    out += "code=" + std::to_string(OsCode(os)) + "\n";
    out += "server=" + std::string(IsServerOs(os) ? "1" : "0") + "\n";
    return 0;
}

// `describe-os MODE`: DescribeOs of the running system.
int DescribeOsCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    out = Utf8(DescribeOs(CurrentOsVersion(), std::atoi(args[0].c_str())));
    return 0;
}

// `special-folder CSIDL`: SHGetSpecialFolderPathW's answer; exit code 1 when empty.
int SpecialFolder(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 1) return 2;
    out = Utf8(ProcessSystemFacts().SpecialFolder(std::atoi(args[0].c_str())));
    return out.empty() ? 1 : 0;
}

// `known-folder NAME`: "0xHRESULT PATH" for one of the Program Files known folders.
int KnownFolder(const std::vector<std::string>& args, std::string& out) {
    static const std::map<std::string, const FolderGuid*> ids = {
        {"ProgramFilesX64", &kFolderIdProgramFilesX64},
        {"ProgramFiles", &kFolderIdProgramFiles},
        {"ProgramFilesCommonX64", &kFolderIdProgramFilesCommonX64},
        {"ProgramFilesCommon", &kFolderIdProgramFilesCommon},
    };
    if (args.size() != 1 || ids.count(args[0]) == 0) return 2;
    KnownFolderAnswer answer = ProcessSystemFacts().QueryKnownFolder(*ids.at(args[0]));
    if (!answer.available) return 1;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(answer.result));
    out = std::string(code) + " " + Utf8(answer.path);
    return 0;
}

// `notify ADDRESS VERSION SESSION`: the notification address with its placeholders.
int Notify(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 3) return 2;
    std::uint64_t session = std::strtoull(args[2].c_str(), nullptr, 16);
    out = NotifyPlaceholders(args[0], Utf8ToUtf16(args[1]), session, CurrentOsVersion());
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("expand", Expand);
PALISADE_PROBE_COMMAND("os", Os);
PALISADE_PROBE_COMMAND("describe-os", DescribeOsCommand);
PALISADE_PROBE_COMMAND("special-folder", SpecialFolder);
PALISADE_PROBE_COMMAND("known-folder", KnownFolder);
PALISADE_PROBE_COMMAND("notify", Notify);

}  // namespace palisade::probe
