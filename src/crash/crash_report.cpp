// The crash report's text, built from the crash record and the gathered facts.
#include "crash/crash_report.h"

#include <algorithm>

#include "core/text.h"
#include "crash/exception_descriptions.h"

namespace palisade {
namespace {

std::u16string Hex8(std::uint32_t value) { return ToU16Hex(value, 8, true); }

std::u16string Decimal(std::uint64_t value) { return ToU16(std::int64_t(value)); }

std::vector<ProcessModule> SortedByBase(std::vector<ProcessModule> modules) {
    std::stable_sort(modules.begin(), modules.end(),
                     [](const ProcessModule& a, const ProcessModule& b) { return a.base < b.base; });
    return modules;
}

bool Contains(const ProcessModule& module, std::uint32_t address) {
    return address >= module.base && std::uint64_t(address) < std::uint64_t(module.base) + module.size;
}

// Lines 1 to 5: the exception, the product, where it happened and the access.
void AppendException(std::u16string& out, const CrashRecord& record, const CrashFacts& facts,
                     const std::vector<ProcessModule>& modules) {
    out += u"Exception: " + Windows1252ToUtf16(ExceptionDescription(record.code)) + u"\r\n";
    out += u"\r\nProduct: Palisade Setup " + facts.productVersion + u" Standard Edition\r\n";
    out += u"Exception code: " + Hex8(record.code) + u"\r\nAddress: " + Hex8(record.address) + u"\r\n";
    for (const ProcessModule& module : modules) {
        if (Contains(module, record.address)) out += u"Module: " + module.name + u"\r\n";
    }
    if (record.code == kExceptionAccessViolation) {
        out += std::u16string(u"Read/write: ") + (record.writeAccess ? u"write" : u"read") + u"\r\nMemory address: " +
               Hex8(record.memoryAddress) + u"\r\n";
    }
}

// Lines 6 to 14: threads, times, system, language and the command line.
void AppendProcessFacts(std::u16string& out, const CrashFacts& facts) {
    out += u"Thread ID: " + Decimal(facts.threadId) + u"  Main Thread: " + Decimal(facts.mainThreadId) + u"\r\n";
    if (facts.times) {
        out += u"Process/kernel/user time: " + DurationText(facts.times->sinceStartMs) + u" / " +
               DurationText(facts.times->kernelMs) + u" / " + DurationText(facts.times->userMs) + u"\r\n";
    }
    out += u"OS: " + facts.osDescription + u"\r\n";
    out += u"IE: " + facts.browserEngineVersion + u"\r\n";
    if (facts.office) out += u"Office: " + facts.office->name + u" (" + facts.office->version + u")\r\n";
    out += u"Language: " + facts.languageName + u"\r\n";
    out += u"Locale: 0x" + ToU16Hex(facts.localeId, 1, true) + u"  Codepage: " + Decimal(facts.ansiCodePage) +
           u"\r\n";
    if (facts.previousOutOfMemory) out += u"A previous out-of-memory condition occurred.\r\n";
    if (!facts.commandLine.empty()) out += u"Command line: " + facts.commandLine + u"\r\n";
}

void AppendRegisters(std::u16string& out, const CrashRegisters& r) {
    const std::pair<const char16_t*, std::uint32_t> lines[] = {
        {u"\r\n  EAX: ", r.eax}, {u"\r\n  EBX: ", r.ebx}, {u"\r\n  ECX: ", r.ecx}, {u"\r\n  EDX: ", r.edx},
        {u"\r\n  EDI: ", r.edi}, {u"\r\n  ESI: ", r.esi}, {u"\r\n  EIP: ", r.eip}, {u"\r\n  EBP: ", r.ebp},
        {u"\r\n  ESP: ", r.esp}, {u"\r\n   CS: ", r.cs}, {u"\r\n   DS: ", r.ds}, {u"\r\n   ES: ", r.es},
        {u"\r\n   FS: ", r.fs},  {u"\r\n   GS: ", r.gs}, {u"\r\n   SS: ", r.ss},
    };
    out += u"\r\nCPU Registers:\r\nFlags: " + Hex8(r.flags);
    for (const auto& [label, value] : lines) out += label + Hex8(value);
}

void AppendModules(std::u16string& out, const std::vector<ProcessModule>& modules) {
    if (modules.empty()) return;
    out += u"\r\n\r\nModules:\r\n";
    for (const ProcessModule& module : modules) {
        out += Hex8(module.base) + u" " + Hex8(module.base + module.size - 1) + u" " + module.fullPath + u"\r\n";
    }
}

void AppendCallStack(std::u16string& out, const std::vector<StackFrame>& frames) {
    out += u"\r\nCall Stack:\r\n";
    for (const StackFrame& frame : frames) {
        out += Hex8(frame.frame) + u" " + Hex8(frame.programCounter) + u" " + frame.module;
        if (!frame.symbol.empty()) out += u" " + frame.symbol;
        out += u"\r\n";
    }
}

}  // namespace

std::u16string DurationText(std::uint64_t milliseconds) {
    std::u16string fraction = ToU16(std::int64_t(milliseconds % 1000));
    while (fraction.size() < 3) fraction.insert(fraction.begin(), u'0');
    return Decimal(milliseconds / 1000) + u"." + fraction + u" s";
}

std::u16string BuildCrashReport(const CrashRecord& record, const CrashFacts& facts) {
    std::vector<ProcessModule> modules = SortedByBase(facts.modules);
    std::u16string out;
    AppendException(out, record, facts, modules);
    AppendProcessFacts(out, facts);
    AppendRegisters(out, record.registers);
    AppendModules(out, modules);
    AppendCallStack(out, facts.frames);
    return out;
}

}  // namespace palisade
