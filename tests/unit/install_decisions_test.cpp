// The main sequence's settings-driven decisions.
#include <gtest/gtest.h>

#include "startup/install_decisions.h"
#include "variables/installation_state.h"

namespace palisade {
namespace {

OsVersionInfo Nt(std::uint32_t major, std::uint32_t minor, std::uint32_t build, bool server) {
    OsVersionInfo os;
    os.platformId = kPlatformNt;
    os.majorVersion = major;
    os.minorVersion = minor;
    os.buildNumber = build;
    os.productType = server ? kProductServer : kProductWorkstation;
    return os;
}

TEST(SystemKindBit, FollowsTheSystemTable) {
    struct Case {
        OsVersionInfo os;
        std::uint32_t bit;
    } cases[] = {
        {Nt(4, 0, 1381, false), 0x40},       {Nt(5, 0, 2195, false), 0x80},
        {Nt(5, 1, 2600, false), 0x100},      {Nt(5, 2, 3790, false), 0x100},
        {Nt(5, 2, 3790, true), 0x200},       {Nt(6, 0, 6002, false), 0x400},
        {Nt(6, 0, 6002, true), 0x800},       {Nt(6, 1, 7601, true), 0x800},
        {Nt(6, 1, 7601, false), 0x1000},     {Nt(6, 3, 9600, false), 0x2000},
        {Nt(6, 2, 9200, true), 0x4000},      {Nt(10, 0, 19045, false), 0x8000},
        {Nt(10, 0, 22631, false), 0x80000},  {Nt(10, 0, 14393, true), 0x10000},
        {Nt(10, 0, 20348, true), 0x20000},   {Nt(11, 0, 1, false), 0x1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemKindBit(c.os), c.bit) << c.os.majorVersion << "." << c.os.minorVersion << " "
                                              << c.os.buildNumber;
    }
    OsVersionInfo nine;
    nine.platformId = kPlatformWindows9x;
    nine.majorVersion = 4;
    nine.minorVersion = 10;
    EXPECT_EQ(SystemKindBit(nine), 0x8u);
    nine.minorVersion = 90;
    EXPECT_EQ(SystemKindBit(nine), 0x10u);
}

TEST(InstallType, ComparesVersionsOnlyWhenAskedAndKnown) {
    EXPECT_EQ(DecideInstallType(true, u"1.2", u"1.2").type, kReinstall);
    EXPECT_EQ(DecideInstallType(true, u"1.2", u"1.2").questionMessage, 4);
    EXPECT_EQ(DecideInstallType(true, u"1.2", u"1.10").type, kUpgrade);
    EXPECT_EQ(DecideInstallType(true, u"1.2.0", u"1.2").type, kDowngrade);
    EXPECT_EQ(DecideInstallType(false, u"1.0", u"2.0").type, kReinstall);
    EXPECT_EQ(DecideInstallType(false, u"1.0", u"2.0").questionMessage, 3);
    EXPECT_EQ(DecideInstallType(true, u"", u"2.0").questionMessage, 3);
}

TEST(InstallType, UninstallFirstAndDowngradeLimits) {
    InstallerSettings settings;
    EXPECT_FALSE(MustUninstallFirst(settings, u"1.0"));
    settings.settingsFlags1 = 0x1;
    EXPECT_TRUE(MustUninstallFirst(settings, u"9.0"));  // no version given: always
    settings.mustUninstallVersion = u"2.0";
    EXPECT_TRUE(MustUninstallFirst(settings, u"1.9"));
    EXPECT_FALSE(MustUninstallFirst(settings, u"2.0"));

    EXPECT_TRUE(DowngradeForbidden(u"2.0", u"1.9"));
    EXPECT_FALSE(DowngradeForbidden(u"2.0", u"2.0"));
    EXPECT_FALSE(DowngradeForbidden(u"", u"0.1"));

    settings.settingsFlags2 = 0x1000;
    settings.expectedExistingVersion = "1.5";
    EXPECT_TRUE(UnexpectedExistingVersion(settings, u"1.4"));
    EXPECT_FALSE(UnexpectedExistingVersion(settings, u"1.5"));
    EXPECT_FALSE(UnexpectedExistingVersion(settings, u""));
}

TEST(InstallFolder, DefaultPathSources) {
    DefaultInstallPath relative = ResolveDefaultInstallPath(u"Vendor\\Product\\", u"C:\\Program Files (x86)");
    EXPECT_EQ(relative.source, DefaultInstallPath::Source::Folder);
    EXPECT_EQ(relative.folder, u"C:\\Program Files (x86)\\Vendor\\Product");
    EXPECT_EQ(ResolveDefaultInstallPath(u"D:\\Apps\\X", u"C:\\Program Files").folder, u"D:\\Apps\\X");
    EXPECT_EQ(ResolveDefaultInstallPath(u"<MASTER>", u"C:\\P").source, DefaultInstallPath::Source::Master);

    DefaultInstallPath registry = ResolveDefaultInstallPath(u"HKCU\\Software\\Vendor\\Path", u"C:\\P");
    ASSERT_EQ(registry.source, DefaultInstallPath::Source::Registry);
    EXPECT_EQ(registry.registry.root, RegistryRoot::CurrentUser);
    EXPECT_EQ(registry.registry.key, u"Software\\Vendor");
    EXPECT_EQ(registry.registry.value, u"Path");
    EXPECT_EQ(registry.registryText, u"HKCU\\Software\\Vendor\\Path");

    EXPECT_EQ(NormaliseFolder(u"  C:\\Tools\\ "), u"C:\\Tools");
    EXPECT_EQ(NormaliseFolder(u"C:\\"), u"C:\\");
}

TEST(InstallFolder, UninstallFirstCommandCarriesThisInstallerQuoted) {
    EXPECT_EQ(MustUninstallCommand(u"\"C:\\U\\uninstall.exe\" /a /u:\"P\"", u"\"C:\\setup.exe\" /silent"),
              u"\"C:\\U\\uninstall.exe\" /a /u:\"P\" /r:\"`C:\\setup.exe` /silent\"");
}

TEST(SystemChecks, BitnessAndMinimumSystem) {
    EXPECT_EQ(RequiredBitness(1, false), 64);
    EXPECT_EQ(RequiredBitness(2, true), 32);
    EXPECT_EQ(RequiredBitness(0, true), 0);
    MinimumSystemVersion vista{6, 0, 0, 2, 0, 0};
    EXPECT_TRUE(BelowMinimumSystem(vista, Nt(5, 1, 2600, false)));
    EXPECT_FALSE(BelowMinimumSystem(vista, Nt(6, 1, 7601, false)));
    EXPECT_FALSE(BelowMinimumSystem(MinimumSystemVersion{}, Nt(4, 0, 0, false)));
    MinimumSystemVersion sp2{5, 1, 0, 2, 2, 0};
    OsVersionInfo sp1 = Nt(5, 1, 2600, false);
    sp1.servicePackMajor = 1;
    EXPECT_TRUE(BelowMinimumSystem(sp2, sp1));
}

}  // namespace
}  // namespace palisade
