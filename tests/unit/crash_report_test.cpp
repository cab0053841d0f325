// The crash report's text, the exception descriptions and what "Inform Us" sends.
#include "crash/crash_report.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "crash/crash_submission.h"
#include "crash/exception_descriptions.h"

namespace palisade {
namespace {

CrashRecord AccessViolation() {
    CrashRecord record;
    record.code = 0xC0000005;
    record.address = 0x00401A2B;
    record.writeAccess = true;
    record.memoryAddress = 0x10;
    record.registers = {0x10246, 1, 2, 3, 4, 5, 6, 0x00401A2B, 0x0019FF00, 0x0019FE00,
                        0x23, 0x2B, 0x2B, 0x53, 0x2B, 0x2B};
    return record;
}

CrashFacts SampleFacts() {
    CrashFacts facts;
    facts.productVersion = u"2.1";
    facts.threadId = 36;
    facts.mainThreadId = 32;
    facts.times = ProcessTimes{12345, 62, 1500};
    facts.osDescription = u"Windows 10 Pro x64";
    facts.browserEngineVersion = u"11.0";
    facts.languageName = u"English (United States)";
    facts.localeId = 0x409;
    facts.ansiCodePage = 1252;
    facts.commandLine = u"setup.exe /silent";
    // Out of order on purpose: the report sorts them by base.
    facts.modules = {{u"C:\\windows\\system32\\kernel32.dll", u"kernel32.dll", 0x7B000000, 0x100000},
                     {u"C:\\setup.exe", u"setup.exe", 0x00400000, 0x20000}};
    facts.frames = {{0x0019FF00, 0x00401A2B, u"setup.exe", u"Fault"},
                    {0x0019FF40, 0x7B012345, u"kernel32.dll", u""}};
    return facts;
}

TEST(CrashReport, EveryLineInOrder) {
    EXPECT_EQ(Utf16ToUtf8(BuildCrashReport(AccessViolation(), SampleFacts())),
              "Exception: Illegal memory access.\r\n"
              "\r\nProduct: Palisade Setup 2.1 Standard Edition\r\n"
              "Exception code: C0000005\r\nAddress: 00401A2B\r\n"
              "Module: setup.exe\r\n"
              "Read/write: write\r\nMemory address: 00000010\r\n"
              "Thread ID: 36  Main Thread: 32\r\n"
              "Process/kernel/user time: 12.345 s / 0.062 s / 1.500 s\r\n"
              "OS: Windows 10 Pro x64\r\n"
              "IE: 11.0\r\n"
              "Language: English (United States)\r\n"
              "Locale: 0x409  Codepage: 1252\r\n"
              "Command line: setup.exe /silent\r\n"
              "\r\nCPU Registers:\r\nFlags: 00010246"
              "\r\n  EAX: 00000001\r\n  EBX: 00000002\r\n  ECX: 00000003\r\n  EDX: 00000004"
              "\r\n  EDI: 00000005\r\n  ESI: 00000006\r\n  EIP: 00401A2B\r\n  EBP: 0019FF00"
              "\r\n  ESP: 0019FE00\r\n   CS: 00000023\r\n   DS: 0000002B\r\n   ES: 0000002B"
              "\r\n   FS: 00000053\r\n   GS: 0000002B\r\n   SS: 0000002B"
              "\r\n\r\nModules:\r\n"
              "00400000 0041FFFF C:\\setup.exe\r\n"
              "7B000000 7B0FFFFF C:\\windows\\system32\\kernel32.dll\r\n"
              "\r\nCall Stack:\r\n"
              "0019FF00 00401A2B setup.exe Fault\r\n"
              "0019FF40 7B012345 kernel32.dll\r\n");
}

TEST(CrashReport, OptionalLinesAppearOnlyWithTheirFacts) {
    CrashRecord record = AccessViolation();
    record.code = 0xC0000094;
    record.address = 0x12345678;  // in no module
    CrashFacts facts = SampleFacts();
    facts.times.reset();
    facts.commandLine.clear();
    facts.modules.clear();
    facts.frames.clear();
    facts.office = OfficeSuite{u"Office", u"16.0"};
    facts.previousOutOfMemory = true;
    std::string report = Utf16ToUtf8(BuildCrashReport(record, facts));
    EXPECT_EQ(report.find("Read/write:"), std::string::npos);
    EXPECT_EQ(report.find("Memory address:"), std::string::npos);
    EXPECT_EQ(report.find("Module:"), std::string::npos);
    EXPECT_EQ(report.find("Process/kernel/user time:"), std::string::npos);
    EXPECT_EQ(report.find("Command line:"), std::string::npos);
    EXPECT_EQ(report.find("Modules:"), std::string::npos);
    EXPECT_NE(report.find("Exception: Integer divide by zero.\r\n"), std::string::npos);
    EXPECT_NE(report.find("IE: 11.0\r\nOffice: Office (16.0)\r\nLanguage: "), std::string::npos);
    EXPECT_NE(report.find("Codepage: 1252\r\nA previous out-of-memory condition occurred.\r\n\r\nCPU"),
              std::string::npos);
    // Without modules the stack follows the last register directly.
    EXPECT_NE(report.find("   SS: 0000002B\r\nCall Stack:\r\n"), std::string::npos);
    EXPECT_EQ(report.substr(report.size() - 13), "Call Stack:\r\n");
}

TEST(CrashReport, ReadAccessAndAModuleEndingAtTheAddress) {
    CrashRecord record = AccessViolation();
    record.writeAccess = false;
    record.address = 0x0041FFFF;  // the last byte of setup.exe
    std::string report = Utf16ToUtf8(BuildCrashReport(record, SampleFacts()));
    EXPECT_NE(report.find("Module: setup.exe\r\nRead/write: read\r\n"), std::string::npos);
    record.address = 0x00420000;  // one past it
    report = Utf16ToUtf8(BuildCrashReport(record, SampleFacts()));
    EXPECT_EQ(report.find("Module: "), std::string::npos);
}

TEST(CrashReport, DescriptionsComeFromTheTableAndUnknownCodesGiveNothing) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0xC0000005, "Illegal memory access."},
        {0xC000001D, "Invalid instruction executed."},
        {0xC00000FD, "Stack overflow."},
        {0x80000003, "Breakpoint encountered."},
        {0xE06D7363, "Visual C++ structured exception handling."},
        {0x8007000E, "Out of memory."},
        {0x12345678, ""},
        {0xFFFFFFFF, ""},  // the table's end marker is not an entry
        {0, ""},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(ExceptionDescription(code), text) << std::hex << code;
    CrashRecord record;
    record.code = 0x12345678;
    EXPECT_EQ(Utf16ToUtf8(BuildCrashReport(record, CrashFacts{})).substr(0, 13), "Exception: \r\n");
}

TEST(CrashReport, DurationsKeepTheirMilliseconds) {
    EXPECT_EQ(DurationText(0), u"0.000 s");
    EXPECT_EQ(DurationText(7), u"0.007 s");
    EXPECT_EQ(DurationText(3600001), u"3600.001 s");
}

CrashVendor SampleVendor() {
    CrashVendor vendor;
    vendor.shortName = u"Example Ltd";
    vendor.senderAddress = "crash@example.com";
    vendor.privateHeader = "  X-Private: 42 \r\n";
    vendor.reportEndpoint = "http://127.0.0.1/report";
    return vendor;
}

TEST(CrashSubmission, FieldsInOrderWithTheAddressAndComments) {
    FormFields fields = CrashFormFields(u"REPORT\r\n", SampleVendor(), {u"me@example.org", u"Clicked Next."},
                                        u"setup.exe");
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0], (std::pair<std::string, std::string>("from", "crash@example.com")));
    EXPECT_EQ(fields[1].first, "body");
    EXPECT_EQ(fields[1].second, "REPORT\r\n\r\nEmail: me@example.org\r\n\r\nComments:\r\nClicked Next.");
    EXPECT_EQ(fields[2], (std::pair<std::string, std::string>("subject", "Exception - Installer 44.0.1: setup.exe")));
    EXPECT_EQ(fields[3].first, "headers");
    EXPECT_EQ(fields[3].second,
              "X-Private: 42\r\nX-Exception-Email: me@example.org\r\nReply-To: me@example.org\r\n");
}

TEST(CrashSubmission, WithoutAnAddressOnlyThePrivateLineAndNoEmailLine) {
    FormFields fields = CrashFormFields(u"REPORT", SampleVendor(), {u"", u""}, u"setup.exe");
    EXPECT_EQ(fields[1].second, "REPORT");
    EXPECT_EQ(fields[3].second, "X-Private: 42\r\n");
    CrashVendor plain = SampleVendor();
    plain.privateHeader = " \t";
    EXPECT_EQ(CrashFormFields(u"REPORT", plain, {u"", u""}, u"setup.exe")[3].second, "");
}

TEST(CrashSubmission, ATypedAddressCannotAddHeaderLines) {
    FormFields fields =
        CrashFormFields(u"R", SampleVendor(), {u" me@example.org\r\nBcc: everyone@example.org", u""}, u"s.exe");
    EXPECT_EQ(fields[3].second, "X-Private: 42\r\nX-Exception-Email: me@example.org\r\nReply-To: me@example.org\r\n");
    EXPECT_EQ(fields[1].second, "R\r\nEmail: me@example.org\r\n");
}

TEST(CrashSubmission, ApologyNamesTheVendor) {
    EXPECT_EQ(Utf16ToUtf8(CrashApology(u"Example Ltd")),
              "We apologize for the inconvenience, but the program has performed an illegal operation and must "
              "close.  Please report this problem to Example Ltd by clicking the \"Inform Us\" button below.");
}

}  // namespace
}  // namespace palisade
