// The crash report's text, built from the crash record and the facts the
// system side gathered (modules, call stack, system and process texts).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace palisade {

// The x86 registers of the faulting thread, as the report lists them.
struct CrashRegisters {
    std::uint32_t flags = 0;
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0, edi = 0, esi = 0;
    std::uint32_t eip = 0, ebp = 0, esp = 0;
    std::uint32_t cs = 0, ds = 0, es = 0, fs = 0, gs = 0, ss = 0;
};

// What the filter takes from the system's exception information.
struct CrashRecord {
    std::uint32_t code = 0;
    std::uint32_t address = 0;
    bool continuable = false;
    bool writeAccess = false;           // access violation: the access was a write
    std::uint32_t memoryAddress = 0;    // access violation: the inaccessible address
    CrashRegisters registers;
};

// One module loaded in the process.
struct ProcessModule {
    std::u16string fullPath;
    std::u16string name;
    std::uint32_t base = 0;
    std::uint32_t size = 0;
};

// One frame of the call stack.
struct StackFrame {
    std::uint32_t frame = 0;
    std::uint32_t programCounter = 0;
    std::u16string module;  // the module holding the program counter; empty when none does
    std::u16string symbol;  // empty when no symbol was found
};

struct ProcessTimes {
    std::uint64_t sinceStartMs = 0;
    std::uint64_t kernelMs = 0;
    std::uint64_t userMs = 0;
};

struct OfficeSuite {
    std::u16string name;
    std::u16string version;
};

// Everything else the report shows, gathered on the faulting thread.
struct CrashFacts {
    std::u16string productVersion;  // the version text of the "Product:" line
    std::uint32_t threadId = 0;
    std::uint32_t mainThreadId = 0;
    std::optional<ProcessTimes> times;
    std::u16string osDescription;
    std::u16string browserEngineVersion;
    std::optional<OfficeSuite> office;
    std::u16string languageName;
    std::uint32_t localeId = 0;
    std::uint32_t ansiCodePage = 0;
    bool previousOutOfMemory = false;
    std::u16string commandLine;
    std::vector<ProcessModule> modules;  // any order; the report sorts them by base
    std::vector<StackFrame> frames;
};

// "12.345 s": a duration as the report shows it.
std::u16string DurationText(std::uint64_t milliseconds);

// The report, every line ended by CR LF and every hexadecimal number eight
// upper-case digits: the exception, product, code and address, the faulting
// module, the access (access violations only), threads, times, system,
// language, the command line, the registers, the modules and the call stack.
std::u16string BuildCrashReport(const CrashRecord& record, const CrashFacts& facts);

}  // namespace palisade
