// Runs an author's batch commands through the system's command interpreter.
#include "variables/win32/run_batch_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "core/format.h"
#include "core/text.h"
#include "core/win32/system_error.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "log/install_log.h"

namespace palisade {

namespace {

constexpr DWORD kWaitSliceMs = 75;
constexpr std::uint32_t kPlatformWindows9x = 1;

bool FileExists(const std::u16string& path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::u16string& path) {
    DWORD attributes = ::GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string JoinPath(std::u16string folder, std::u16string_view name) {
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    return folder + std::u16string(name);
}

std::u16string WindowsFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    return length != 0 && length <= MAX_PATH ? FromWide(std::wstring_view(buffer, length)) : std::u16string();
}

// The installation folder once it exists; before that the temporary folder.
std::u16string WorkingFolder(const BatchContext& context) {
    std::u16string installFolder = context.expand(u"%InstallDir%");
    if (!installFolder.empty() && FolderExists(installFolder)) return installFolder;
    return context.expand(u"%Temp%");
}

std::u16string ShortPath(const std::u16string& path) {
    std::wstring longPath = ToWide(path);
    DWORD needed = ::GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring buffer(needed, L'\0');
    DWORD length = ::GetShortPathNameW(longPath.c_str(), &buffer[0], needed);
    return length != 0 && length < needed ? FromWide(std::wstring_view(buffer.data(), length)) : path;
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

// Zero on success, otherwise the system's error code.
DWORD WriteNewFile(const std::u16string& path, std::string_view bytes) {
    UniqueFileHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr)) return ::GetLastError();
    return written == bytes.size() ? 0 : ERROR_WRITE_FAULT;
}

std::string ReadWholeFile(const std::u16string& path) {
    UniqueFileHandle file(::CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string content;
    if (!file) return content;
    char buffer[16384];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got != 0) content.append(buffer, got);
    return content;
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Starts the interpreter and waits for it while the windows stay responsive.
// Zero when it ran, otherwise the error of the start.
DWORD RunAndWait(const std::u16string& commandLine, const std::u16string& folder, bool hidden) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = ToWide(commandLine);
    ::SetLastError(0);
    if (!::CreateProcessW(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          ToWide(folder).c_str(), &startup, &process)) {
        DWORD error = ::GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    UniqueHandle processHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    for (;;) {
        HANDLE handle = processHandle.get();
        DWORD woke = ::MsgWaitForMultipleObjects(1, &handle, FALSE, kWaitSliceMs, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
        PumpMessages();
    }
    return 0;
}

// Creates the empty capture file; on failure the batch runs without one.
bool PrepareCapture(const std::u16string& capturePath, RunLog& log) {
    DWORD error = WriteNewFile(capturePath, {});
    if (error == 0) return true;
    log.AppendWide(u"Failed to create batch output capture file.  " + ErrorText(error) + u"\r\n");
    return false;
}

bool IsCaptureBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The interpreter's output goes to the log as it is: it is in the console's
// code page, which only the reader of the log can know.
void CopyCapture(const std::u16string& capturePath, RunLog& log) {
    std::string output = ReadWholeFile(capturePath);
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
    wchar_t expanded[MAX_PATH * 2] = {};
    DWORD length = ::ExpandEnvironmentStringsW(L"%comspec%", expanded, MAX_PATH * 2);
    if (length != 0 && length <= MAX_PATH * 2) {
        std::u16string comspec = FromWide(expanded);
        if (!comspec.empty() && !EqualsIgnoreCase(comspec, u"%comspec%")) return comspec;
    }
    if (context.osPlatformId == kPlatformWindows9x && context.osMajor == 4) {
        return JoinPath(WindowsFolder(), u"command.com");
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
    std::u16string batchPath = JoinPath(folder, kBatchFileName);
    if (DWORD error = WriteNewFile(batchPath, BatchBytes(commands, hidden, context))) {
        ReportFailure(context, Format(u"Unable to create batch file \"%s\".\r\n\r\n%s", {batchPath, ErrorText(error)}));
        return false;
    }
    std::u16string capturePath = JoinPath(folder, kBatchCaptureFileName);
    bool capturing = title && PrepareCapture(capturePath, log);
    std::u16string command = ShortPath(batchPath);
    if (capturing) command += u" > " + ShortPath(capturePath);
    if (command.find(u' ') != std::u16string::npos) command = u"\"" + command + u"\"";
    std::u16string commandLine = Format(u"\"%s\" /c %s", {interpreter, command});

    DWORD startError = RunAndWait(commandLine, folder, hidden);
    if (startError == 0 && capturing) CopyCapture(capturePath, log);
    // The batch file holds the installer's values: it never stays behind,
    // not even when the interpreter could not be started.
    if (capturing) ::DeleteFileW(ToWide(capturePath).c_str());
    ::DeleteFileW(ToWide(batchPath).c_str());
    if (startError != 0) {
        ReportFailure(context, Format(u"Unable to launch batch file \"%s\".\r\n%s\r\nCommand line: %s",
                                      {batchPath, ErrorText(startError), commandLine}));
        return false;
    }
    return true;
}

}  // namespace palisade
