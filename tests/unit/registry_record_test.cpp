// What the installation records of the registry for the uninstaller: the
// lines must read back as the key or value they name, whatever its name
// holds, and no record may delete a key the system or everyone relies on.
#include <gtest/gtest.h>

#include "actions/protected_keys.h"
#include "actions/registry_entry_lines.h"
#include "actions/registry_record.h"
#include "core/text.h"

namespace palisade {
namespace {

std::u16string WithoutLineEnd(std::u16string line) {
    EXPECT_GE(line.size(), 2u);
    EXPECT_EQ(line.substr(line.size() - 2), u"\r\n");
    line.resize(line.size() - 2);
    return line;
}

TEST(RegistryRecord, LinesReadBackAsTheKeyOrValueTheyName) {
    const std::u16string names[] = {u"Plain", u"With, comma", u"Say \"hi\"", u" padded ", u"", u"a\"\"b,"};
    for (const std::u16string& name : names) {
        RegistryPath key{KeyRoot::CurrentUser, u"Software\\Acme " + name};
        RegistryEntryLine keyLine = ParseEntryLine(WithoutLineEnd(KeyRecordLine(key)));
        ASSERT_EQ(keyLine.kind, RegistryLineKind::Key) << Utf16ToUtf8(name);
        EXPECT_EQ(keyLine.key.subKey, key.subKey);

        RegistryEntryLine valueLine = ParseEntryLine(WithoutLineEnd(ValueRecordLine(key, name)));
        ASSERT_EQ(valueLine.kind, RegistryLineKind::Value) << Utf16ToUtf8(name);
        EXPECT_EQ(valueLine.key.subKey, key.subKey);
        EXPECT_EQ(valueLine.valueName, name);
        EXPECT_TRUE(OperationIsUndone(valueLine.operation));
    }
}

TEST(RegistryRecord, EachLineStartsOnALineOfItsOwn) {
    std::u16string record = u"\\HKCU\\Software\\Author's last line";
    AppendRecordLine(record, u"\\HKCU\\Software\\Acme\r\n");
    AppendRecordLine(record, u"\\HKCU\\Software\\Next\r\n");
    EXPECT_EQ(record, u"\\HKCU\\Software\\Author's last line\r\n\\HKCU\\Software\\Acme\r\n\\HKCU\\Software\\Next\r\n");
}

TEST(ProtectedKeys, SharedKeysStayAndAProductsOwnKeysMayGo) {
    struct Case {
        const char16_t* notation;
        bool isProtected;
    };
    const Case cases[] = {
        // Roots, Software and its shared branches, in every hive and view.
        {u"\\HKLM", true},
        {u"\\HKLM\\Software", true},
        {u"\\HKLM\\Software\\Microsoft", true},
        {u"\\HKLM\\Software\\Wow6432Node\\Microsoft", true},
        {u"\\HKCU\\Software\\Classes", true},
        {u"\\HKLM\\Software\\Policies", true},
        {u"\\HKLM\\Software\\Policies\\Microsoft\\Windows", true},
        {u"\\HKU\\S-1-5-21-1\\Software\\Microsoft", true},
        {u"\\HKAU\\Software\\Wow6432Node", true},
        {u"\\HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN", true},
        {u"\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
        {u"\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", true},
        {u"\\HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true},
        {u"\\HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", true},
        {u"\\HKLM\\Software\\Microsoft\\Office", true},
        // Classes every program relies on.
        {u"\\HKCR\\CLSID", true},
        {u"\\HKCR\\*\\shellex\\ContextMenuHandlers", true},
        {u"\\HKCR\\exefile\\shell\\open", true},
        {u"\\HKCR\\.exe", true},
        {u"\\HKLM\\Software\\Classes\\Interface", true},
        {u"\\HKU\\S-1-5-21-1_Classes\\CLSID", true},
        {u"\\HKCR\\Installer\\Products\\ABC", true},
        // The system's configuration.
        {u"\\HKLM\\SYSTEM\\CurrentControlSet", true},
        {u"\\HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager", true},
        {u"\\HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application", true},
        {u"\\HKLM\\SAM\\SAM", true},
        {u"\\HKCU\\Control Panel\\Desktop", true},
        {u"\\HKCU\\Environment", true},
        {u"\\HKCC\\Software\\Acme", true},
        {u"\\HKLM\\Software\\Acme\\..\\Microsoft", true},
        // A product's own keys.
        {u"\\HKLM\\Software\\Acme", false},
        {u"\\HKCU\\Software\\Wow6432Node\\Acme\\Writer", false},
        {u"\\HKAU\\Software\\Acme", false},
        {u"\\HKU\\S-1-5-21-1\\Software\\Acme", false},
        {u"\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme", false},
        {u"\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\acme.exe", false},
        {u"\\HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.acm", false},
        {u"\\HKLM\\Software\\Microsoft\\Office\\Word\\Addins\\Acme.Addin", false},
        {u"\\HKLM\\Software\\Policies\\Acme", false},
        {u"\\HKCR\\.acm", false},
        {u"\\HKCR\\Acme.Document", false},
        {u"\\HKCR\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}", false},
        {u"\\HKCR\\Directory\\shell\\AcmeHere", false},
        {u"\\HKCR\\*\\shellex\\ContextMenuHandlers\\Acme", false},
        {u"\\HKLM\\Software\\Classes\\Applications\\acme.exe", false},
        {u"\\HKLM\\SYSTEM\\CurrentControlSet\\Services\\AcmeService", false},
        {u"\\HKLM\\SYSTEM\\ControlSet001\\Services\\EventLog\\Application\\Acme", false},
        {u"\\HKCU\\AppEvents\\Schemes\\Apps\\Acme", false},
    };
    for (const Case& c : cases) {
        std::optional<RegistryPath> key = ParseRegistryPath(c.notation);
        ASSERT_TRUE(key) << Utf16ToUtf8(c.notation);
        EXPECT_EQ(IsProtectedKey(*key), c.isProtected) << Utf16ToUtf8(c.notation);
    }
}

}  // namespace
}  // namespace palisade
