// Probe commands for batches and the installation log: run a batch with fixed
// variable values, write an Install.log, record a failure entry.
#include <windows.h>

#include <map>
#include <optional>

#include "core/text.h"
#include "core/win32/system_time.h"
#include "core/win32/wide.h"
#include "log/failure_list.h"
#include "log/install_log_text.h"
#include "log/run_log.h"
#include "log/win32/install_log_win32.h"
#include "probe_commands.h"
#include "variables/win32/run_batch_win32.h"

namespace palisade::probe {
namespace {

// "~~" in an argument stands for a line break (CR LF).
std::string Lines(const std::string& text) { return ReplaceAll(text, "~~", "\r\n"); }

// Wide UTF-8 argument text to Windows-1252 (the probe's tests stay in ASCII).
std::string Narrow(const std::string& utf8) {
    std::string out;
    for (char16_t c : Utf8ToUtf16(utf8)) out.push_back(c < 0x100 ? char(c) : '?');
    return out;
}

std::u16string Wide(const std::string& utf8) { return Utf8ToUtf16(utf8); }

// Splits "--name=value" options and "Name=Value" settings from the arguments.
struct Settings {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // without the leading "--"
    std::vector<std::pair<std::u16string, std::u16string>> variables;
};

Settings ParseSettings(const std::vector<std::string>& args, std::size_t positionalCount) {
    Settings settings;
    for (const std::string& arg : args) {
        std::size_t equals = arg.find('=');
        if (settings.positional.size() < positionalCount) {
            settings.positional.push_back(arg);
        } else if (arg.rfind("--", 0) == 0) {
            settings.options[arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2)] =
                equals == std::string::npos ? "1" : arg.substr(equals + 1);
        } else if (equals != std::string::npos) {
            settings.variables.push_back({u"%" + Wide(arg.substr(0, equals)) + u"%", Wide(Lines(arg.substr(equals + 1)))});
        }
    }
    return settings;
}

// The installer's variables replaced from the given table (case ignored), then
// the environment's, as the installer's own expansion does.
VariableExpander FixedExpander(std::vector<std::pair<std::u16string, std::u16string>> variables) {
    return [variables](std::u16string_view text) {
        std::u16string out(text);
        for (const auto& [name, value] : variables) {
            for (std::size_t at = FindIgnoreCase(out, name); at != std::u16string::npos;
                 at = FindIgnoreCase(out, name, at + value.size())) {
                out.replace(at, name.size(), value);
            }
        }
        std::vector<wchar_t> buffer(32000);
        DWORD length = ::ExpandEnvironmentStringsW(ToWide(out).c_str(), buffer.data(), 32000);
        return length != 0 && length <= 32000 ? FromWide(buffer.data()) : out;
    };
}

// `run-batch FOLDER TITLE COMMANDS [Name=Value...] [--automatic] [--hidden]
// [--silent] [--comspec=PATH] [--os=MAJOR.MINOR]`: FOLDER is %InstallDir%, an
// empty TITLE runs untitled. Prints "result=0|1" and the run log.
int RunBatchCommand(const std::vector<std::string>& args, std::string& out) {
    Settings settings = ParseSettings(args, 3);
    if (settings.positional.size() != 3) return 2;
    if (settings.options.count("comspec")) {
        ::SetEnvironmentVariableW(L"COMSPEC", ToWide(Wide(settings.options["comspec"])).c_str());
    }
    settings.variables.insert(settings.variables.begin(), {u"%InstallDir%", Wide(settings.positional[0])});
    RunLog log;
    ConnectRunLogToDebugger(log);
    BatchContext context;
    context.automatic = settings.options.count("automatic") || settings.options.count("silent");
    context.silent = settings.options.count("silent") != 0;
    std::string os = settings.options.count("os") ? settings.options["os"] : "10.0";
    context.osMajor = std::uint32_t(std::stoul(os));
    context.osMinor = std::uint32_t(std::stoul(os.substr(os.find('.') + 1)));
    context.expand = FixedExpander(settings.variables);
    context.log = &log;
    std::string title = Narrow(settings.positional[1]);
    bool ran = RunBatch(Narrow(Lines(settings.positional[2])), settings.options.count("hidden") != 0,
                        title.empty() ? std::nullopt : std::optional<std::string_view>(title), context);
    out = std::string("result=") + (ran ? "1" : "0") + "\n" + log.Bytes();
    return 0;
}

// `write-log FOLDER [--runlog=TEXT] [--failures=TEXT] [--success=TEXT]
// [--product=NAME] [--version=V] [--type=N]`: appends one run's section to
// FOLDER\Install.log. Prints "written" or "not opened".
int WriteLogCommand(const std::vector<std::string>& args, std::string& out) {
    Settings settings = ParseSettings(args, 1);
    if (settings.positional.size() != 1) return 2;
    auto option = [&](const char* name) { return Lines(settings.options[name]); };
    InstallLogSection section;
    section.header.productName = Wide(option("product"));
    section.header.installTime = LocalNow();
    section.header.looksForExistingInstall = settings.options.count("type") != 0;
    section.header.existingInstall = section.header.looksForExistingInstall ? std::stoi(option("type")) : 0;
    section.header.installFolder = Wide(settings.positional[0]);
    section.header.productVersion = Wide(option("version"));
    section.header.osDescription = u"Windows 10";
    std::string runLog = option("runlog");
    std::u16string failures = Wide(option("failures"));
    std::u16string success = Wide(option("success"));
    section.runLog = runLog;
    section.failures = failures;
    section.successText = success;
    bool written = WriteInstallLogFile(InstallLogPath(Wide(settings.positional[0])), section);
    out = written ? "written\n" : "not opened\n";
    return 0;
}

// `log-failure CODE ITEM`: the failure entry for ITEM with CODE as the
// error, under an empty heading.
int LogFailureCommand(const std::vector<std::string>& args, std::string& out) {
    if (args.size() != 2) return 2;
    FailureList list;
    std::uint32_t code = std::uint32_t(std::stoul(args[0], nullptr, 0));
    LogFailure(list, u"", Wide(args[1]), Win32Status(code));
    out = Utf16ToUtf8(list.Text());
    return 0;
}

}  // namespace

PALISADE_PROBE_COMMAND("run-batch", RunBatchCommand);
PALISADE_PROBE_COMMAND("write-log", WriteLogCommand);
PALISADE_PROBE_COMMAND("log-failure", LogFailureCommand);

}  // namespace palisade::probe
