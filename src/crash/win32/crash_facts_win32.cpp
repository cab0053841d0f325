// Gathers what the crash report shows beside the crash record.
#include "crash/win32/crash_facts_win32.h"

#include <dbghelp.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/text.h"

#include "core/win32/registry.h"
#include "core/win32/system_library.h"
#include "core/win32/unique_handle.h"
#include "core/win32/wide.h"
#include "crash/win32/crash_handler_win32.h"
#include "variables/os_description.h"
#include "variables/win32/os_version_win32.h"

namespace palisade {
namespace {

constexpr int kMaxFrames = 100;
constexpr DWORD kSymbolOptions = 0x2006;  // undecorated names, deferred loads, load lines
constexpr DWORD kMaxSymbolName = 2000;

std::u16string NameOf(const std::u16string& path) {
    std::size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

std::vector<ProcessModule> ToolHelpModules() {
    using Snapshot = decltype(&::CreateToolhelp32Snapshot);
    using Walk = decltype(&::Module32FirstW);
    auto snapshot = KernelFunction<Snapshot>("CreateToolhelp32Snapshot");
    auto first = KernelFunction<Walk>("Module32FirstW");
    auto next = KernelFunction<Walk>("Module32NextW");
    std::vector<ProcessModule> modules;
    if (!snapshot || !first || !next) return modules;
    UniqueHandle handle(snapshot(TH32CS_SNAPMODULE, ::GetCurrentProcessId()));
    if (!handle) return modules;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = first(handle.get(), &entry); more; more = next(handle.get(), &entry)) {
        modules.push_back({FromWide(entry.szExePath), FromWide(entry.szModule),
                           std::uint32_t(reinterpret_cast<std::uintptr_t>(entry.modBaseAddr)),
                           std::uint32_t(entry.modBaseSize)});
    }
    return modules;
}

std::vector<ProcessModule> ProcessStatusModules() {
    std::vector<ProcessModule> modules;
    HMODULE psapi = LoadSystemLibraryForProcess(L"psapi.dll");
    auto enumerate = LibraryFunction<decltype(&::EnumProcessModules)>(psapi, "EnumProcessModules");
    auto information = LibraryFunction<decltype(&::GetModuleInformation)>(psapi, "GetModuleInformation");
    if (!enumerate || !information) return modules;
    HMODULE handles[512];
    DWORD needed = 0;
    if (!enumerate(::GetCurrentProcess(), handles, sizeof(handles), &needed)) return modules;
    DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), DWORD(std::size(handles)));
    for (DWORD i = 0; i < count; ++i) {
        MODULEINFO info{};
        wchar_t path[MAX_PATH] = {};
        if (!information(::GetCurrentProcess(), handles[i], &info, sizeof(info))) continue;
        ::GetModuleFileNameW(handles[i], path, MAX_PATH);
        std::u16string fullPath = FromWide(path);
        modules.push_back({fullPath, NameOf(fullPath), std::uint32_t(reinterpret_cast<std::uintptr_t>(info.lpBaseOfDll)),
                           std::uint32_t(info.SizeOfImage)});
    }
    return modules;
}

// Reads this process's memory directly when VirtualQuery says every byte is
// committed and readable: ReadProcessMemory goes through the system's
// process access, which does not see this process's memory under every
// emulator.
bool ReadOwnMemory(std::uintptr_t address, void* buffer, std::size_t size) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    std::uintptr_t at = address;
    while (at < address + size) {
        MEMORY_BASIC_INFORMATION region{};
        if (::VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof(region)) == 0) return false;
        if (region.State != MEM_COMMIT || (region.Protect & kReadable) == 0 || (region.Protect & PAGE_GUARD) != 0) {
            return false;
        }
        at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    std::memcpy(buffer, reinterpret_cast<const void*>(address), size);
    return true;
}

// The images mapped into this process, found region by region: the last
// resort when neither the snapshot nor the enumeration answers.
std::vector<ProcessModule> MappedImages() {
    std::vector<ProcessModule> modules;
    std::uintptr_t at = 0x10000;
    MEMORY_BASIC_INFORMATION region{};
    while (::VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof(region)) != 0) {
        std::uintptr_t next = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (region.Type == MEM_IMAGE && region.BaseAddress == region.AllocationBase) {
            HMODULE module = static_cast<HMODULE>(region.AllocationBase);
            wchar_t path[MAX_PATH] = {};
            IMAGE_DOS_HEADER dos{};
            IMAGE_NT_HEADERS32 nt{};
            std::uintptr_t base = reinterpret_cast<std::uintptr_t>(module);
            if (::GetModuleFileNameW(module, path, MAX_PATH) != 0 && ReadOwnMemory(base, &dos, sizeof(dos)) &&
                dos.e_magic == IMAGE_DOS_SIGNATURE && ReadOwnMemory(base + dos.e_lfanew, &nt, sizeof(nt))) {
                std::u16string fullPath = FromWide(path);
                modules.push_back({fullPath, NameOf(fullPath), std::uint32_t(base), nt.OptionalHeader.SizeOfImage});
            }
        }
        if (next <= at) break;
        at = next;
    }
    return modules;
}

std::u16string ModuleAt(const std::vector<ProcessModule>& modules, std::uint64_t address) {
    for (const ProcessModule& module : modules) {
        if (address >= module.base && address < std::uint64_t(module.base) + module.size) return module.name;
    }
    return {};
}

struct DebugHelp {
    decltype(&::SymSetOptions) setOptions = nullptr;
    decltype(&::SymInitializeW) initialize = nullptr;
    decltype(&::StackWalk64) stackWalk = nullptr;
    decltype(&::SymFunctionTableAccess64) functionTable = nullptr;
    decltype(&::SymFromAddr) fromAddress = nullptr;
    decltype(&::SymCleanup) cleanup = nullptr;
};

DebugHelp LoadDebugHelp() {
    HMODULE module = LoadSystemLibraryForProcess(L"dbghelp.dll");
    DebugHelp d;
    d.setOptions = LibraryFunction<decltype(d.setOptions)>(module, "SymSetOptions");
    d.initialize = LibraryFunction<decltype(d.initialize)>(module, "SymInitializeW");
    d.stackWalk = LibraryFunction<decltype(d.stackWalk)>(module, "StackWalk64");
    d.functionTable = LibraryFunction<decltype(d.functionTable)>(module, "SymFunctionTableAccess64");
    d.fromAddress = LibraryFunction<decltype(d.fromAddress)>(module, "SymFromAddr");
    d.cleanup = LibraryFunction<decltype(d.cleanup)>(module, "SymCleanup");
    return d;
}

std::u16string SymbolAt(const DebugHelp& help, HANDLE process, std::uint64_t address) {
    std::vector<std::uint8_t> buffer(sizeof(SYMBOL_INFO) + kMaxSymbolName);
    auto* symbol = reinterpret_cast<SYMBOL_INFO*>(buffer.data());
    symbol->SizeOfStruct = sizeof(SYMBOL_INFO);
    symbol->MaxNameLen = kMaxSymbolName;
    DWORD64 displacement = 0;
    if (!help.fromAddress(process, address, &displacement, symbol)) return {};
    return Windows1252ToUtf16(std::string_view(symbol->Name, std::min<std::size_t>(symbol->NameLen, kMaxSymbolName)));
}

// A fault in a call through a null pointer leaves EIP at 0: the frame above
// is found from the return address and saved frame pointer at EBP.
void RecoverFromNullCall(CONTEXT& context) {
#if defined(__i386__)
    if (context.Eip != 0) return;
    DWORD pair[2] = {};
    if (ReadOwnMemory(std::uintptr_t(context.Ebp), pair, sizeof(pair))) {
        context.Ebp = pair[0];
        context.Eip = pair[1];
    }
#endif
}

// The walk's view of memory and modules, for the callbacks below (the walk
// runs once, on one thread).
const std::vector<ProcessModule>* g_walkModules = nullptr;

BOOL CALLBACK ReadForWalk(HANDLE, DWORD64 address, PVOID buffer, DWORD size, LPDWORD read) {
    bool ok = address + size <= 0x100000000ULL && ReadOwnMemory(std::uintptr_t(address), buffer, size);
    if (read) *read = ok ? size : 0;
    return ok;
}

PVOID CALLBACK NoFunctionTable(HANDLE, DWORD64) { return nullptr; }

DWORD64 CALLBACK ModuleBaseForWalk(HANDLE, DWORD64 address) {
    for (const ProcessModule& module : *g_walkModules) {
        if (address >= module.base && address < std::uint64_t(module.base) + module.size) return module.base;
    }
    return 0;
}

}  // namespace

std::vector<ProcessModule> LoadedModules() {
    std::vector<ProcessModule> modules = ToolHelpModules();
    if (modules.empty()) modules = ProcessStatusModules();
    return modules.empty() ? MappedImages() : modules;
}

std::vector<StackFrame> WalkStack(const CrashEvent& event, const std::vector<ProcessModule>& modules) {
    std::vector<StackFrame> frames;
#if defined(__i386__)
    DebugHelp help = LoadDebugHelp();
    if (!help.setOptions || !help.initialize || !help.stackWalk || !help.functionTable ||
        !help.fromAddress || !help.cleanup) {
        return frames;
    }
    HANDLE process = ::GetCurrentProcess();
    help.setOptions(kSymbolOptions);
    // Without the symbol handler (it reads the process the way some
    // emulators do not allow) the walk still follows the frame pointers.
    bool symbols = help.initialize(process, nullptr, TRUE) != FALSE;
    CONTEXT context = event.context;
    RecoverFromNullCall(context);
    STACKFRAME64 frame{};
    frame.AddrPC = {context.Eip, 0, AddrModeFlat};
    frame.AddrFrame = {context.Ebp, 0, AddrModeFlat};
    frame.AddrStack = {context.Esp, 0, AddrModeFlat};
    HANDLE thread = event.thread ? event.thread : ::GetCurrentThread();
    g_walkModules = &modules;
    for (int i = 0; i < kMaxFrames; ++i) {
        if (!help.stackWalk(IMAGE_FILE_MACHINE_I386, process, thread, &frame, &context, ReadForWalk,
                            symbols ? help.functionTable : NoFunctionTable, ModuleBaseForWalk, nullptr)) {
            break;
        }
        if (frame.AddrPC.Offset == 0 || frame.AddrFrame.Offset == 0) break;
        frames.push_back({std::uint32_t(frame.AddrFrame.Offset), std::uint32_t(frame.AddrPC.Offset),
                          ModuleAt(modules, frame.AddrPC.Offset),
                          symbols ? SymbolAt(help, process, frame.AddrPC.Offset) : std::u16string()});
    }
    if (symbols) help.cleanup(process);
#endif
    return frames;
}

CrashFacts GatherCrashFacts(const CrashEvent& event, DWORD mainThreadId) {
    CrashFacts facts;
    facts.threadId = event.threadId;
    facts.mainThreadId = mainThreadId;
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        ::GetSystemTimeAsFileTime(&now);
        auto ms = [](const FILETIME& t) {
            return ((std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
        };
        facts.times = ProcessTimes{ms(now) - ms(created), ms(kernel), ms(user)};
    }
    facts.osDescription = DescribeOs(CurrentOsVersion(), 0);
    Win32Result<std::u16string> engine =
        ReadRegistryText(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Internet Explorer", u"svcVersion");
    if (!engine.ok()) engine = ReadRegistryText(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Internet Explorer", u"Version");
    facts.browserEngineVersion = engine.value_or(u"");
    Win32Result<std::u16string> word = ReadRegistryText(HKEY_CLASSES_ROOT, u"Word.Application\\CurVer", u"");
    if (word.ok() && word->size() > 17) facts.office = OfficeSuite{u"Microsoft Office", word->substr(17)};
    wchar_t language[128] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, language, int(std::size(language)));
    facts.languageName = FromWide(language);
    facts.localeId = ::GetUserDefaultLCID();
    facts.ansiCodePage = ::GetACP();
    facts.commandLine = FromWide(::GetCommandLineW());
    facts.modules = LoadedModules();
    facts.frames = WalkStack(event, facts.modules);
    return facts;
}

}  // namespace palisade
