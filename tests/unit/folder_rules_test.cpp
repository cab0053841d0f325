// The tests every installation folder must pass, whoever chose it.
#include "variables/folder_rules.h"

#include <gtest/gtest.h>

#include "fake_system_facts.h"
#include "variables/program_files_folders.h"

namespace palisade {
namespace {

testing::FakeSystemFacts MachineFacts() {
    testing::FakeSystemFacts facts;
    facts.os.is64Bit = true;
    facts.specialFolders = {
        {0x28, u"C:\\Users\\me"},         {0x05, u"C:\\Users\\me\\Documents"},
        {0x10, u"C:\\Users\\me\\Desktop"}, {0x19, u"C:\\Users\\Public\\Desktop"},
        {0x1A, u"C:\\Users\\me\\AppData\\Roaming"}, {0x1C, u"C:\\Users\\me\\AppData\\Local"},
        {0x23, u"C:\\ProgramData"},        {0x2E, u"C:\\Users\\Public\\Documents"},
        {0x29, u"C:\\Windows\\SysWOW64"},  {kCsidlProgramFiles, u"C:\\Program Files (x86)"},
        {kCsidlProgramFilesCommon, u"C:\\Program Files (x86)\\Common Files"},
    };
    facts.knownFolders = {{kFolderIdProgramFilesX64.data1, u"C:\\Program Files"},
                          {kFolderIdProgramFiles.data1, u"C:\\Program Files (x86)"},
                          {kFolderIdProgramFilesCommonX64.data1, u"C:\\Program Files\\Common Files"},
                          {kFolderIdProgramFilesCommon.data1, u"C:\\Program Files (x86)\\Common Files"}};
    facts.driveKinds = {{u"E:\\", DriveKind::CdRom}, {u"Q:\\", DriveKind::NoRootDirectory}};
    return facts;
}

TEST(FolderRules, EachKindOfFolderGetsItsVerdictAndMessage) {
    struct Case {
        std::u16string folder;
        FolderVerdict verdict;
        int message;
    };
    const Case cases[] = {
        {u"C:\\Program Files\\Acme\\App", FolderVerdict::Accepted, 0},
        {u"D:\\Apps\\Acme", FolderVerdict::Accepted, 0},
        {u"\\\\server\\share\\Acme", FolderVerdict::Accepted, 0},
        {u"C:\\Users\\me\\Documents\\Acme", FolderVerdict::Accepted, 0},  // a folder of its own below one
        {u"   ", FolderVerdict::Empty, Msg::kFolderEmpty},
        {u"Acme", FolderVerdict::NotAbsolute, Msg::kFolderNameInvalid},
        {u"C:Acme", FolderVerdict::NotAbsolute, Msg::kFolderNameInvalid},
        {u"\\Acme", FolderVerdict::NotAbsolute, Msg::kFolderNameInvalid},
        {u"C:\\Apps\\..\\Windows", FolderVerdict::NotAbsolute, Msg::kFolderNameInvalid},
        {u"C:\\Apps\\.\\Acme", FolderVerdict::NotAbsolute, Msg::kFolderNameInvalid},
        {u"C:\\Apps\\Acme:stream", FolderVerdict::InvalidName, Msg::kFolderNameInvalid},
        {u"C:\\Apps\\A|B", FolderVerdict::InvalidName, Msg::kFolderNameInvalid},
        {u"C:\\" + std::u16string(300, u'a'), FolderVerdict::TooLong, Msg::kFolderPathTooLong},
        {u"C:\\", FolderVerdict::DriveRoot, Msg::kFolderNeedsSubfolder},
        {u"C:", FolderVerdict::DriveRoot, Msg::kFolderNeedsSubfolder},  // "/d:C:\" loses its backslash
        {u"\\\\server\\share", FolderVerdict::DriveRoot, Msg::kFolderNeedsSubfolder},
        {u"C:\\Program Files", FolderVerdict::ProgramFilesRoot, Msg::kFolderNeedsSubfolder},
        {u"c:\\program files (x86)", FolderVerdict::ProgramFilesRoot, Msg::kFolderNeedsSubfolder},
        {u"C:\\Program Files\\Common Files", FolderVerdict::ProgramFilesRoot, Msg::kFolderNeedsSubfolder},
        {u"C:\\Windows", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\Windows\\system32\\drivers", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\Windows\\SysWOW64", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\Users", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\Users\\me", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\Users\\me\\Desktop", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\USERS\\ME\\DOCUMENTS", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"C:\\ProgramData", FolderVerdict::SystemFolder, Msg::kSystemFolderRefused},
        {u"Q:\\Acme", FolderVerdict::MissingDrive, Msg::kDriveMissing},
        {u"E:\\Acme", FolderVerdict::UnsuitableDrive, Msg::kDriveKindRefused},
    };
    for (const Case& c : cases) {
        testing::FakeSystemFacts facts = MachineFacts();
        FolderVerdict verdict = CheckInstallFolder(c.folder, facts);
        EXPECT_EQ(verdict, c.verdict) << std::string(c.folder.begin(), c.folder.end());
        EXPECT_EQ(FolderRefusalMessage(verdict), c.message) << std::string(c.folder.begin(), c.folder.end());
    }
}

}  // namespace
}  // namespace palisade
