// The crash report's text, built from the crash record and the gathered facts.
#include "crash/crash_report.h"

#include <algorithm>

#include "core/text.h"
#include "crash/exception_descriptions.h"

namespace palisade {
namespace {

std::u16string Hex8(std::uint32_t value) { return ToU16Hex(value, 8, true); }

// One report line from its pieces (appending keeps the report small in code:
// no temporary for every "+").
void Line(std::u16string& out, std::initializer_list<std::u16string_view> pieces) {
    for (std::u16string_view piece : pieces) out.append(piece);
    out.append(u"\r\n");
}

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
    Line(out, {u"Exception: ", Windows1252ToUtf16(ExceptionDescription(record.code))});
    Line(out, {u"\r\nProduct: Palisade Setup ", facts.productVersion, u" Standard Edition"});
    Line(out, {u"Exception code: ", Hex8(record.code), u"\r\nAddress: ", Hex8(record.address)});
    for (const ProcessModule& module : modules) {
        if (Contains(module, record.address)) Line(out, {u"Module: ", module.name});
    }
    if (record.code == kExceptionAccessViolation) {
        Line(out, {u"Read/write: ", record.writeAccess ? u"write" : u"read", u"\r\nMemory address: ",
                   Hex8(record.memoryAddress)});
    }
}

// Lines 6 to 14: threads, times, system, language and the command line.
void AppendProcessFacts(std::u16string& out, const CrashFacts& facts) {
    Line(out, {u"Thread ID: ", Decimal(facts.threadId), u"  Main Thread: ", Decimal(facts.mainThreadId)});
    if (facts.times) {
        Line(out, {u"Process/kernel/user time: ", DurationText(facts.times->sinceStartMs), u" / ",
                   DurationText(facts.times->kernelMs), u" / ", DurationText(facts.times->userMs)});
    }
    Line(out, {u"OS: ", facts.osDescription});
    Line(out, {u"IE: ", facts.browserEngineVersion});
    if (facts.office) Line(out, {u"Office: ", facts.office->name, u" (", facts.office->version, u")"});
    Line(out, {u"Language: ", facts.languageName});
    Line(out, {u"Locale: 0x", ToU16Hex(facts.localeId, 1, true), u"  Codepage: ", Decimal(facts.ansiCodePage)});
    if (facts.previousOutOfMemory) Line(out, {u"A previous out-of-memory condition occurred."});
    if (!facts.commandLine.empty()) Line(out, {u"Command line: ", facts.commandLine});
}

void AppendRegisters(std::u16string& out, const CrashRegisters& r) {
    const std::pair<const char16_t*, std::uint32_t> lines[] = {
        {u"\r\n  EAX: ", r.eax}, {u"\r\n  EBX: ", r.ebx}, {u"\r\n  ECX: ", r.ecx}, {u"\r\n  EDX: ", r.edx},
        {u"\r\n  EDI: ", r.edi}, {u"\r\n  ESI: ", r.esi}, {u"\r\n  EIP: ", r.eip}, {u"\r\n  EBP: ", r.ebp},
        {u"\r\n  ESP: ", r.esp}, {u"\r\n   CS: ", r.cs}, {u"\r\n   DS: ", r.ds}, {u"\r\n   ES: ", r.es},
        {u"\r\n   FS: ", r.fs},  {u"\r\n   GS: ", r.gs}, {u"\r\n   SS: ", r.ss},
    };
    out += u"\r\nCPU Registers:\r\nFlags: ";
    out += Hex8(r.flags);
    for (const auto& [label, value] : lines) {
        out += label;
        out += Hex8(value);
    }
}

void AppendModules(std::u16string& out, const std::vector<ProcessModule>& modules) {
    if (modules.empty()) return;
    out += u"\r\n\r\nModules:\r\n";
    for (const ProcessModule& module : modules) {
        Line(out, {Hex8(module.base), u" ", Hex8(module.base + module.size - 1), u" ", module.fullPath});
    }
}

void AppendCallStack(std::u16string& out, const std::vector<StackFrame>& frames) {
    out += u"\r\nCall Stack:\r\n";
    for (const StackFrame& frame : frames) {
        Line(out, {Hex8(frame.frame), u" ", Hex8(frame.programCounter), u" ", frame.module,
                   frame.symbol.empty() ? u"" : u" ", frame.symbol});
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
