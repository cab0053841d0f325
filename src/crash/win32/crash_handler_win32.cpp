// The process's last-chance exception filter and the installer's handler.
#include "crash/win32/crash_handler_win32.h"

#include <atomic>

#include "core/win32/http_client.h"
#include "core/win32/known_paths.h"
#include "core/win32/process_state.h"
#include "core/text.h"
#include "crash/exception_descriptions.h"
#include "crash/win32/crash_facts_win32.h"
#include "crash/win32/exception_dialog_win32.h"
#include "payload/vendor_record.h"
#include "ui/resources/resource_ids.h"
#include "ui/win32/notify_win32.h"

namespace palisade {
namespace {

CrashHandler g_handler = nullptr;
DWORD g_mainThreadId = 0;
std::atomic<bool> g_handling{false};
CrashEvent g_event;  // static: the faulting thread's stack may be nearly used up
bool g_sent = false;

bool PassedOn(DWORD code) {
    return code == kExceptionBreakpoint || code == kExceptionSingleStep || code == kExceptionNoncontinuable ||
           code == kExceptionLanguage;
}

void FillRecord(const EXCEPTION_POINTERS& info, CrashRecord& record) {
    const EXCEPTION_RECORD& exception = *info.ExceptionRecord;
    record.code = exception.ExceptionCode;
    record.address = std::uint32_t(reinterpret_cast<std::uintptr_t>(exception.ExceptionAddress));
    record.continuable = (exception.ExceptionFlags & EXCEPTION_NONCONTINUABLE) == 0;
    if (exception.ExceptionCode == kExceptionAccessViolation && exception.NumberParameters >= 1) {
        record.writeAccess = exception.ExceptionInformation[0] != 0;
    }
    if (exception.ExceptionCode == kExceptionAccessViolation && exception.NumberParameters >= 2) {
        record.memoryAddress = std::uint32_t(exception.ExceptionInformation[1]);
    }
#if defined(__i386__)
    const CONTEXT& c = *info.ContextRecord;
    record.registers = {std::uint32_t(c.EFlags), std::uint32_t(c.Eax), std::uint32_t(c.Ebx), std::uint32_t(c.Ecx),
                        std::uint32_t(c.Edx),    std::uint32_t(c.Edi), std::uint32_t(c.Esi), std::uint32_t(c.Eip),
                        std::uint32_t(c.Ebp),    std::uint32_t(c.Esp), std::uint32_t(c.SegCs), std::uint32_t(c.SegDs),
                        std::uint32_t(c.SegEs),  std::uint32_t(c.SegFs), std::uint32_t(c.SegGs), std::uint32_t(c.SegSs)};
#endif
}

DWORD WINAPI RunHandler(void*) {
    g_sent = g_handler(g_event);
    return 0;
}

// After a stack overflow the faulting thread has no stack left for a report
// and a dialog: the handler runs on a fresh thread while the faulting one
// waits. Other faults are handled on the faulting thread.
bool RunHandlerOnFreshStack() {
    HANDLE helper = ::CreateThread(nullptr, 0, RunHandler, nullptr, 0, nullptr);
    if (helper == nullptr) {
        RunHandler(nullptr);
        return g_sent;
    }
    ::WaitForSingleObject(helper, INFINITE);
    ::CloseHandle(helper);
    return g_sent;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info) {
    DWORD code = info->ExceptionRecord->ExceptionCode;
    if (PassedOn(code)) return EXCEPTION_CONTINUE_SEARCH;
    // A fault on the notification worker ends the process without a report.
    if (IsNotificationThread(::GetCurrentThreadId())) return EXCEPTION_EXECUTE_HANDLER;
    if (g_handler == nullptr || g_handling.exchange(true)) return EXCEPTION_CONTINUE_SEARCH;
    g_event = CrashEvent{};
    FillRecord(*info, g_event.record);
    g_event.context = *info->ContextRecord;
    g_event.threadId = ::GetCurrentThreadId();
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &g_event.thread, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    bool sent = code == kExceptionStackOverflow ? RunHandlerOnFreshStack() : g_handler(g_event);
    if (code == kExceptionStackOverflow) ::TerminateProcess(::GetCurrentProcess(), 0);
    return sent ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH;
}

std::u16string FileNameOf(const std::u16string& path) {
    std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

void PostReport(const std::u16string& report, const CrashAnswers& answers) {
    const CrashVendor& vendor = TheCrashSettings().vendor;
    std::optional<HttpAddress> endpoint = ParseHttpAddress(vendor.reportEndpoint);
    if (!endpoint) return;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    FormFields fields = CrashFormFields(report, vendor, answers, FileNameOf(OwnModulePath()));
    (void)SendHttpRequest(FormPostRequest(*endpoint, fields));  // a failing post is ignored
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

// The author's values from the record the builder filled in; a program
// without the record keeps what it was given.
void LoadVendorValues() {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(IDR_CRASH_VENDOR), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? ::LoadResource(self, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return;
    std::optional<VendorValues> values =
        DecodeVendorRecord(ByteView(static_cast<const std::uint8_t*>(bytes), ::SizeofResource(self, found)));
    if (!values) return;
    CrashVendor& vendor = TheCrashSettings().vendor;
    vendor.shortName = Utf8ToUtf16(values->shortName);
    vendor.senderAddress = values->senderAddress;
    vendor.privateHeader = values->privateHeader;
    vendor.reportEndpoint = values->reportEndpoint;
}

}  // namespace

CrashSettings& TheCrashSettings() {
    static CrashSettings settings;
    return settings;
}

void InstallCrashHandler(CrashHandler handler) {
    LoadVendorValues();
    g_handler = handler;
    g_mainThreadId = ::GetCurrentThreadId();
    ::SetUnhandledExceptionFilter(CrashFilter);
}

std::u16string CrashReportFor(const CrashEvent& event) {
    CrashFacts facts = GatherCrashFacts(event, g_mainThreadId);
    facts.productVersion = TheCrashSettings().productVersion;
    return BuildCrashReport(event.record, facts);
}

bool HandleCrash(const CrashEvent& event) {
    std::u16string report = CrashReportFor(event);
    if (TheCrashSettings().writeLog) TheCrashSettings().writeLog(report);
    // A silent run has nobody to ask: it ends at once, without the system's
    // crash dialog, its exit code the exception's.
    if (Process().options.silent) return true;
    std::optional<CrashAnswers> answers = RunExceptionDialog(report, TheCrashSettings().vendor);
    if (!answers) return false;
    PostReport(report, *answers);
    return true;
}

}  // namespace palisade
