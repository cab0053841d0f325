// The texts of component registration: progress texts, log lines, failure
// entries and the uninstall records of MSI packages and driver INF files.
#include <gtest/gtest.h>

#include "actions/component_texts.h"
#include "core/text.h"

namespace palisade {
namespace {

TEST(ComponentTexts, ProgressTextReplacesEveryFilePlaceholder) {
    EXPECT_EQ(ComponentProgressText(u"Registering <file>...", u"C:\\a b\\x.dll"), u"Registering C:\\a b\\x.dll...");
    EXPECT_EQ(ComponentProgressText(u"<file> / <file>", u"y"), u"y / y");
    EXPECT_EQ(ComponentProgressText(u"No placeholder", u"y"), u"No placeholder");
    // A path that itself holds the placeholder is not expanded again.
    EXPECT_EQ(ComponentProgressText(u"[<file>]", u"<file>"), u"[<file>]");
}

TEST(ComponentTexts, FontsKeyDependsOnTheSystemFamily) {
    EXPECT_EQ(FontsRegistryKey(false), u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
    EXPECT_EQ(FontsRegistryKey(true), u"Software\\Microsoft\\Windows\\CurrentVersion\\Fonts");
}

TEST(ComponentTexts, SilentRunsForceBasicMsiInterface) {
    EXPECT_EQ(EffectiveMsiUiLevel(5, true), 2);
    EXPECT_EQ(EffectiveMsiUiLevel(3, true), 2);
    EXPECT_EQ(EffectiveMsiUiLevel(5, false), 5);
    EXPECT_EQ(EffectiveMsiUiLevel(0, false), 0);
    EXPECT_EQ(EffectiveMsiUiLevel(std::nullopt, false), 2);
}

TEST(ComponentTexts, MsiLinesAndRecord) {
    EXPECT_EQ(MsiStartLine(u"C:\\P\\setup.msi"), u"Installing MSI package \"C:\\P\\setup.msi\"...");
    EXPECT_EQ(MsiFailureLine(1603, u"Fatal error during installation."),
              u"FAILED code 1603: Fatal error during installation.\r\n");
    EXPECT_EQ(MsiFailureLine(-2147467259, u"x"), u"FAILED code -2147467259: x\r\n");
    EXPECT_EQ(MsiRecordLine(u"C:\\P\\setup.msi", 2), "\"C:\\P\\setup.msi\",2\r\n");
    // A path outside plain ASCII keeps every character in the "|" UTF-8 form.
    EXPECT_EQ(MsiRecordLine(u"C:\\\u00C9t\u00E9\\s.msi", 5), "\"|C:\\\xC3\x89t\xC3\xA9\\s.msi\",5\r\n");
}

TEST(ComponentTexts, AppletNameComesFromInfoOrFileName) {
    struct Case {
        const char* info;
        const char16_t* destination;
        const char16_t* expected;
    };
    const Case cases[] = {
        {"Clock Settings", u"C:\\App\\clock.cpl", u"Clock Settings"},
        {"", u"C:\\App\\clock.cpl", u"clock"},
        {" \t\r\n", u"C:\\App\\clock.cpl", u"clock"},
        {"", u"C:\\App\\my.panel.cpl", u"my.panel"},
        {"", u"C:\\App\\noext", u"noext"},
        {"", u"C:\\App\\.cpl", u""},  // malformed: the caller ends the run
        {"Caf\xC3\xA9", u"C:\\x.cpl", u"Caf\u00E9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppletDisplayName(c.info, c.destination), c.expected) << c.info << "|" << Utf16ToUtf8(c.destination);
    }
}

TEST(ComponentTexts, AppletKeysCommandAndLines) {
    const std::u16string clsid = u"{11111111-2222-3333-4444-555555555555}";
    EXPECT_EQ(AppletClassKey(clsid), u"Software\\Classes\\CLSID\\" + clsid);
    EXPECT_EQ(AppletNameSpaceKey(clsid),
              u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\" + clsid);
    EXPECT_EQ(LocalMachineKeyNotation(AppletClassKey(clsid)), u"\\HKLM\\Software\\Classes\\CLSID\\" + clsid);
    EXPECT_EQ(AppletOpenCommand(u"C:\\A\\c.cpl", u""), u"\"C:\\A\\c.cpl\"");
    EXPECT_EQ(AppletOpenCommand(u"C:\\A\\c.cpl", u"-x 1"), u"\"C:\\A\\c.cpl\" -x 1");
    EXPECT_EQ(AppletProgressItem(u"Clock"), u"Control Panel extension \"Clock\"");
    EXPECT_EQ(AppletStartLine(u"Clock"), u"Registering control panel applet \"Clock\"...");
    EXPECT_EQ(AppletFailureLine(u"Access is denied."), u"FAILED!\r\nAccess is denied.\r\n\r\n");
}

TEST(ComponentTexts, ComServerLines) {
    EXPECT_EQ(RegsvrArguments(u"C:\\W\\sys\\a b.dll", false), u"/s \"C:\\W\\sys\\a b.dll\"");
    EXPECT_EQ(RegsvrArguments(u"C:\\W\\x.dll", true), u"/s /u C:\\W\\x.dll");
    EXPECT_EQ(ComStartLine(u"C:\\s\\x.dll"), u"Registering COM File \"C:\\s\\x.dll\"...");
    // A path with a percent sign is data, not a format directive.
    EXPECT_EQ(ComStartLine(u"C:\\100%d\\x.dll"), u"Registering COM File \"C:\\100%d\\x.dll\"...");
    EXPECT_EQ(ComResultLine(0), u"OK\r\n");
    EXPECT_EQ(ComResultLine(5), u"FAILED, code 5\r\n");
    EXPECT_EQ(ComResultLine(-2147467259), u"FAILED, code -2147467259\r\n");
    EXPECT_EQ(ComCrashFailure(u"C:\\s\\x.dll"), u"Crashed while registering COM file x.dll\r\n");
}

TEST(ComponentTexts, TypeLibraryLines) {
    EXPECT_EQ(TypeLibraryStartLine(u"C:\\s\\t.tlb"), u"Registering Type Library \"C:\\s\\t.tlb\"...");
    EXPECT_EQ(TypeLibraryFailureLine(u"Error loading type library/DLL."),
              u"FAILED\r\nError loading type library/DLL.\r\n\r\n");
    EXPECT_EQ(TypeLibraryCrashFailure(u"C:\\s\\t.tlb"), u"Crashed while registering TLB file t.tlb\r\n");
}

TEST(ComponentTexts, DriverLinesAndRecord) {
    EXPECT_EQ(DriverStartLine(u"C:\\P\\d.inf"), u"Installing driver \"C:\\P\\d.inf\"...");
    EXPECT_EQ(DriverSuccessLine(u"C:\\windows\\inf\\oem3.inf"),
              u"OK\r\nFinal driver location: C:\\windows\\inf\\oem3.inf\r\n");
    EXPECT_EQ(DriverRecordLine(u"C:\\windows\\inf\\oem3.inf"), "C:\\windows\\inf\\oem3.inf\r\n");
}

TEST(ComponentTexts, DriverFailureUsesUnsignedCodeAndCatalogSentence) {
    EXPECT_EQ(DriverFailureLine(2, u"File not found."), u"FAILED!  Code 2: File not found.\r\n");
    EXPECT_EQ(DriverFailureLine(kNoCatalogForOemInf, u""),
              u"FAILED!  Code 3758096943: The INF does not contain digital signature information.\r\n");
    // The system's own text wins when it has one.
    EXPECT_EQ(DriverFailureLine(kNoCatalogForOemInf, u"No catalog."), u"FAILED!  Code 3758096943: No catalog.\r\n");
    // The sentence belongs to that code only.
    EXPECT_EQ(DriverFailureLine(0xE0000230, u""), u"FAILED!  Code 3758096944: \r\n");
}

}  // namespace
}  // namespace palisade
