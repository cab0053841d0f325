// Runs an author's batch commands through the system's command interpreter.
#include "variables/win32/run_batch_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "core/format.h"
#include "core/text.h"
#include "core/win32/atomic_file.h"
#include "core/win32/file_system.h"
#include "core/win32/known_paths.h"
#include "core/win32/private_folder.h"
#include "core/win32/process.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/install_log.h"

namespace palisade {

namespace {

// More than any batch writes to its capture in an installation.
constexpr std::uint64_t kLargestCapture = 64u << 20;
constexpr std::uint32_t kPlatformWindows9x = 1;

std::u16string JoinPath(std::u16string folder, std::u16string_view name) {
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    return folder + std::u16string(name);
}

// The installation folder once it exists; before that the temporary folder.
std::u16string WorkingFolder(const BatchContext& context) {
    std::u16string installFolder = context.expand(u"%InstallDir%");
    if (!installFolder.empty() && FolderExists(installFolder)) return installFolder;
    return context.expand(u"%Temp%");
}

std::u16string ErrorText(DWORD error) {
    std::u16string text = SystemErrorText(error);
    return text.empty() ? u"Error " + ToU16(error) : text;
}

RunLog& LogOf(const BatchContext& context) { return context.log ? *context.log : TheInstallLog().runLog; }

// A failure the user hears about (unless nobody is there) and the log keeps.
void ReportFailure(const BatchContext& context, const std::u16string& text) {
    if (!context.automatic) {
        if (context.showError) {
            context.showError(text);
        } else {
            ::MessageBoxW(nullptr, ToWide(text).c_str(), L"Error", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        }
    }
    LogOf(context).AppendWide(text + u"\r\n");
}

// Creates the empty capture file; on failure the batch runs without one.
bool PrepareCapture(const std::u16string& capturePath, RunLog& log) {
    Win32Status created = WriteFileAtomically(capturePath, {});
    if (created.ok()) return true;
    log.AppendWide(u"Failed to create batch output capture file.  " + ErrorText(created.code()) + u"\r\n");
    return false;
}

bool IsCaptureBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The interpreter's output goes to the log as it is: it is in the console's
// code page, which only the reader of the log can know.
void CopyCapture(const std::u16string& capturePath, RunLog& log) {
    std::string output = ReadWholeFile(capturePath, kLargestCapture).value_or({});
    std::string_view text = output;
    while (!text.empty() && IsCaptureBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsCaptureBlank(text.back())) text.remove_suffix(1);
    if (!text.empty()) log.AppendRaw(std::string(text) + "\r\n\r\n");
}

std::string BatchBytes(std::string_view commands, bool hidden, const BatchContext& context) {
    BatchTextOptions options;
    options.dropPause = context.automatic || hidden;
    options.utf8Allowed = SystemTakesUtf8Batches(context.osPlatformId, context.osMajor, context.osMinor);
    return BuildBatchFile(commands, options, context.expand);
}

}  // namespace

std::u16string FindCommandInterpreter(const BatchContext& context) {
    // Never %comspec%: any process of the user may change that variable, and
    // the batch runs with the installer's rights.
    if (context.osPlatformId == kPlatformWindows9x && context.osMajor == 4) {
        return JoinPath(WindowsFolderPath(), u"command.com");
    }
    wchar_t systemFolder[MAX_PATH + 1] = {};
    std::u16string folder;
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_SYSTEMX86, nullptr, SHGFP_TYPE_CURRENT, systemFolder))) {
        folder = FromWide(systemFolder);
    }
    if (folder.empty()) folder = context.expand(u"%SystemDir%");
    return JoinPath(folder, u"cmd.exe");
}

bool RunBatch(std::string_view commands, bool hidden, std::optional<std::string_view> title,
              const BatchContext& context) {
    if (commands.empty()) return true;
    RunLog& log = LogOf(context);
    hidden = hidden || context.silent;
    if (title) log.AppendNarrow("\r\nRunning " + std::string(*title) + "...\r\n");

    std::u16string interpreter = FindCommandInterpreter(context);
    if (!FileExists(interpreter)) {
        log.AppendWidePieces({u"The CLI ", interpreter, u" does not exist!\r\n"});
        return false;
    }
    std::u16string folder = WorkingFolder(context);
    // The batch and its output live in a folder of this run's own, which no
    // other process may open, and the batch stays open against writers while
    // it runs: nobody can change what runs with the installer's rights.
    Win32Result<PrivateFolder> scripts = PrivateFolder::Create();
    std::u16string batchPath = scripts.ok() ? scripts->File(kBatchFileName) : JoinPath(folder, kBatchFileName);
    Win32Status written = scripts.ok() ? WriteFileAtomically(batchPath, BytesOf(BatchBytes(commands, hidden, context)))
                                       : scripts.status();
    if (written.failed()) {
        ReportFailure(context,
                      Format(u"Unable to create batch file \"%s\".\r\n\r\n%s", {batchPath, ErrorText(written.code())}));
        return false;
    }
    UniqueFileHandle held(::CreateFileW(ToWide(batchPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::u16string capturePath = scripts->File(kBatchCaptureFileName);
    bool capturing = title && PrepareCapture(capturePath, log);
    std::u16string command = ShortPathOf(batchPath);
    if (capturing) command += u" > " + ShortPathOf(capturePath);
    if (command.find(u' ') != std::u16string::npos) command = u"\"" + command + u"\"";
    ProcessRequest request;
    request.program = interpreter;
    request.commandLine = u"/c " + command;
    request.workingFolder = folder;
    request.hidden = hidden;
    request.creationFlags = NORMAL_PRIORITY_CLASS;
    ProcessEnd end = RunProcessAndWait(request, kWaitForever, true);
    if (end.Ran() && capturing) CopyCapture(capturePath, log);
    // The batch file holds the installer's values: it never stays behind,
    // not even when the interpreter could not be started (the folder goes
    // with its contents).
    held.reset();
    if (!end.Ran()) {
        std::u16string commandLine = ProcessCommandLine(request);
        ReportFailure(context, Format(u"Unable to launch batch file \"%s\".\r\n%s\r\nCommand line: %s",
                                      {batchPath, ErrorText(end.status.code()), commandLine}));
        return false;
    }
    return true;
}

}  // namespace palisade
