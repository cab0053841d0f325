// DescribeOs, OsCode and the server test over synthetic version records.
#include "variables/os_description.h"

#include <gtest/gtest.h>

namespace palisade {
namespace {

struct Record {
    std::uint32_t major, minor, build;
    std::uint8_t productType;
    std::uint16_t suite = 0;
    std::uint32_t edition = 0;
    bool is64 = false;
    std::u16string_view servicePack = u"";
    std::uint32_t platform = kPlatformNt;
};

OsVersionInfo Make(const Record& r) {
    OsVersionInfo os;
    os.majorVersion = r.major;
    os.minorVersion = r.minor;
    os.buildNumber = r.build;
    os.platformId = r.platform;
    os.productType = r.productType;
    os.suiteMask = r.suite;
    os.editionCode = r.edition;
    os.is64Bit = r.is64;
    os.processorArchitecture = r.is64 ? kArchitectureAmd64 : 0;
    os.servicePackText = std::u16string(r.servicePack);
    return os;
}

constexpr std::uint8_t kWs = kProductWorkstation;
constexpr std::uint8_t kSrv = kProductServer;

struct Expectation {
    const char* label;
    Record record;
    std::u16string_view full;    // mode 0
    std::u16string_view plain;   // mode 2
    std::u16string_view shortForm;  // mode 4
    std::int32_t code;
};

const Expectation kSystems[] = {
    {"8.1 Pro", {6, 3, 9600, kWs, 0, 48, true}, u"Windows 8.1 Professional x64", u"Windows 8.1", u"8", 44},
    {"Server 2012 R2", {6, 3, 9600, kSrv, 0x110, 7, true}, u"Windows Server 2012 R2 Server Standard x64",
     u"Windows Server 2012 R2", u"2012", 46},
    {"Server 2012", {6, 2, 9200, kSrv, 0, 8, true}, u"Windows Server 2012 Datacenter x64", u"Windows Server 2012",
     u"2012", 42},
    {"8", {6, 2, 9200, kWs, 0, 48, false}, u"Windows 8 Professional", u"Windows 8", u"8", 40},
    {"10 19045", {10, 0, 19045, kWs, 0x100, 48, true}, u"Windows 10 Professional x64", u"Windows 10", u"10", 48},
    {"11 22000", {10, 0, 22000, kWs, 0, 48, true}, u"Windows 11 Professional x64", u"Windows 11", u"11", 56},
    {"10 last before 11", {10, 0, 21995, kWs, 0, 4, true}, u"Windows 10 Enterprise x64", u"Windows 10", u"10", 48},
    {"11 first", {10, 0, 21996, kWs, 0, 0, true}, u"Windows 11 x64", u"Windows 11", u"11", 56},
    {"Server 2016", {10, 0, 14393, kSrv, 0, 7, true}, u"Windows Server 2016 Server Standard x64",
     u"Windows Server 2016", u"2016", 50},
    {"Server 2019", {10, 0, 17763, kSrv, 0, 8, true}, u"Windows Server 2019 Datacenter x64", u"Windows Server 2019",
     u"2019", 52},
    {"Server 2019 first", {10, 0, 17733, kProductDomainController, 0, 0, true}, u"Windows Server 2019 x64",
     u"Windows Server 2019", u"2019", 52},
    {"Server 2022", {10, 0, 20348, kSrv, 0, 7, true}, u"Windows Server 2022 Server Standard x64",
     u"Windows Server 2022", u"2022", 60},
    {"Server 2019 last", {10, 0, 20297, kSrv}, u"Windows Server 2019", u"Windows Server 2019", u"2019", 52},
    {"XP Pro x64 SP2", {5, 2, 3790, kWs, 0, 0, true, u"Service Pack 2"},
     u"Windows XP Professional x64 Service Pack 2", u"Windows XP Service Pack 2", u"XP", 24},
    {"XP Home SP3", {5, 1, 2600, kWs, kSuitePersonal, 0, false, u"Service Pack 3"},
     u"Windows XP Home Service Pack 3", u"Windows XP Service Pack 3", u"XP", 20},
    {"XP Embedded", {5, 1, 2600, kWs, kSuiteEmbedded}, u"Windows XP Professional Embedded", u"Windows XP", u"XP",
     20},
    {"Server 2003 Enterprise", {5, 2, 3790, kSrv, kSuiteEnterprise | kSuiteBlade},
     u"Windows Server 2003 Enterprise Web", u"Windows Server 2003", u"2003", 22},
    {"Storage Server 2003", {5, 2, 3790, kSrv, kSuiteStorageServer | kSuiteComputeServer | kSuiteDatacenter},
     u"Windows Storage Server 2003 Datacenter Compute Cluster", u"Windows Storage Server 2003", u"2003", 22},
    {"Home Server", {5, 2, 3790, kSrv, kSuiteHomeServer}, u"Windows Home Server", u"Windows Home Server", u"XP", 28},
    {"XP 5.2 32-bit workstation", {5, 2, 3790, kWs}, u"Windows Server 2003", u"Windows Server 2003", u"2003", 20},
    {"2000 Pro", {5, 0, 2195, kWs}, u"Windows 2000 Professional", u"Windows 2000", u"2000", 0},
    {"2000 Advanced", {5, 0, 2195, kSrv, kSuiteEnterprise | kSuiteDatacenter}, u"Windows 2000 Advanced Server",
     u"Windows 2000", u"2000", 0},
    {"2000 Datacenter", {5, 0, 2195, kSrv, kSuiteDatacenter}, u"Windows 2000 Datacenter Server", u"Windows 2000",
     u"2000", 0},
    {"2000 Server", {5, 0, 2195, kSrv}, u"Windows 2000 Server", u"Windows 2000", u"2000", 0},
    {"NT 5.3", {5, 3, 1, kWs}, u"Windows NT 5.3", u"Windows NT 5.3", u"NT 5.3", 0},
    {"Vista Home, no edition", {6, 0, 6002, kWs, kSuitePersonal}, u"Windows Vista Home", u"Windows Vista", u"Vista",
     30},
    {"Vista Home Premium", {6, 0, 6002, kWs, kSuitePersonal, 3}, u"Windows Vista Home Premium", u"Windows Vista",
     u"Vista", 30},
    {"Server 2008", {6, 0, 6001, kSrv, kSuiteDatacenter | kSuiteEnterprise},
     u"Windows Server 2008 Datacenter Enterprise", u"Windows Server 2008", u"2008", 32},
    {"7 Ultimate", {6, 1, 7601, kWs, 0, 1, true, u"Service Pack 1"}, u"Windows 7 Ultimate x64 Service Pack 1",
     u"Windows 7 Service Pack 1", u"7", 36},
    {"Server 2008 R2", {6, 1, 7601, kSrv, kSuiteEnterprise, 0, true}, u"Windows Server 2008 R2 Enterprise x64",
     u"Windows Server 2008 R2", u"2008", 34},
    {"Home Server 2011", {6, 1, 7601, kSrv, 0, 34, true}, u"Windows Home Server 2011 x64",
     u"Windows Home Server 2011", u"7", 38},
    {"10 alpha", {6, 4, 9841, kWs}, u"Windows 10 alpha", u"Windows 10 alpha", u"10", 48},
    {"NT 6.5", {6, 5, 1, kWs}, u"Windows NT 6.5", u"Windows NT 6.5", u"NT6", 0},
    {"NT 4.0", {4, 0, 1381, kWs, 0, 0, false, u"Service Pack 6"}, u"Windows NT 4.0 Service Pack 6",
     u"Windows NT 4.0 Service Pack 6", u"NT 4.0", 0},
    {"NT 10.1", {10, 1, 1, kWs}, u"Windows NT 10.1", u"Windows NT 10.1", u"NT 10.1", 0},
    {"95 OSR2", {4, 0, 0x04000000u | 1111, 0, 0, 0, false, u"", kPlatformWindows9x},
     u"Windows 95 OSR2", u"Windows 95", u"95", 0},
    {"98 SE", {4, 10, 2222, 0, 0, 0, false, u" A ", kPlatformWindows9x}, u"Windows 98 SE A", u"Windows 98 A",
     u"98", 0},
    {"98", {4, 10, 1998, 0, 0, 0, false, u"", kPlatformWindows9x}, u"Windows 98", u"Windows 98", u"98", 0},
    {"ME", {4, 90, 3000, 0, 0, 0, false, u"", kPlatformWindows9x}, u"Windows ME", u"Windows ME", u"ME", 0},
    {"9x 5.0", {5, 0, 1, 0, 0, 0, false, u"", kPlatformWindows9x}, u"Windows 9x 5.0", u"Windows 9x 5.0",
     u"9x 5.0", 0},
    {"Win32s", {1, 30, 1, 0, 0, 0, false, u"", kPlatformWin32s}, u"Windows 1.30", u"Windows 1.30", u"1.30", 0},
    {"unknown platform", {9, 9, 9, 0, 0, 0, false, u"", 7}, u"Windows", u"Windows", u"", 0},
};

TEST(OsDescription, EveryRowInItsThreeForms) {
    for (const Expectation& e : kSystems) {
        OsVersionInfo os = Make(e.record);
        EXPECT_EQ(DescribeOs(os, 0), e.full) << e.label;
        EXPECT_EQ(DescribeOs(os, kDescribeNoEdition), e.plain) << e.label;
        EXPECT_EQ(DescribeOs(os, kDescribeShort), e.shortForm) << e.label;
        EXPECT_EQ(OsCode(os), e.code) << e.label;
    }
}

TEST(OsDescription, WineIsNamedInTheLongFormsOnly) {
    OsVersionInfo os = Make({6, 1, 7601, kWs, 0, 28, true, u"Service Pack 1"});
    os.wineVersion = "8.0";
    EXPECT_EQ(DescribeOs(os, 0), u"WINE 8.0 reporting as Windows 7 Ultimate N x64 Service Pack 1");
    EXPECT_EQ(DescribeOs(os, kDescribeNoServicePack), u"WINE 8.0 reporting as Windows 7 Ultimate N x64");
    EXPECT_EQ(DescribeOs(os, kDescribeShort), u"7");
    EXPECT_EQ(OsCode(os), 36);
}

TEST(OsDescription, ServicePackTextIsLeftOutWithModeBitOne) {
    OsVersionInfo os = Make({5, 1, 2600, kWs, 0, 0, false, u"Service Pack 3"});
    EXPECT_EQ(DescribeOs(os, kDescribeNoServicePack), u"Windows XP Professional");
    EXPECT_EQ(DescribeOs(os, kDescribeNoServicePack | kDescribeNoEdition), u"Windows XP");
    // The short form never carries it.
    EXPECT_EQ(DescribeOs(os, kDescribeShort | kDescribeNoServicePack), u"XP");
}

TEST(OsDescription, XpExtrasFollowTheSystemMetricsInOrder) {
    OsVersionInfo os = Make({5, 1, 2600, kWs, kSuitePersonal | kSuiteEmbedded});
    os.mediaCenter = os.starter = os.tabletPc = true;
    EXPECT_EQ(DescribeOs(os, 0), u"Windows XP Home Embedded Media Center Starter Tablet PC");
}

TEST(OsDescription, Server2003R2IsNamedAlsoInThePlainForm) {
    OsVersionInfo os = Make({5, 2, 3790, kSrv, kSuiteEnterprise, 0, false, u"Service Pack 2"});
    os.serverR2 = true;
    EXPECT_EQ(DescribeOs(os, 0), u"Windows Server 2003 R2 Enterprise Service Pack 2");
    EXPECT_EQ(DescribeOs(os, kDescribeNoEdition), u"Windows Server 2003 R2 Service Pack 2");
    EXPECT_EQ(DescribeOs(os, kDescribeShort), u"2003");
    EXPECT_EQ(OsCode(os), 26);
}

TEST(OsDescription, ReleaseIdFollowsOnlyWindows10Workstations) {
    OsVersionInfo ws = Make({10, 0, 19045, kWs, 0, 48, true});
    ws.releaseId = u"2009";
    EXPECT_EQ(DescribeOs(ws, 0), u"Windows 10 Professional x64 2009");
    EXPECT_EQ(DescribeOs(ws, kDescribeShort), u"10");
    OsVersionInfo server = Make({10, 0, 17763, kSrv, 0, 0, true});
    server.releaseId = u"1809";
    EXPECT_EQ(DescribeOs(server, 0), u"Windows Server 2019 x64");
    OsVersionInfo seven = Make({6, 1, 7601, kWs});
    seven.releaseId = u"2009";
    EXPECT_EQ(DescribeOs(seven, 0), u"Windows 7");
}

TEST(OsDescription, EditionSuffixesAddNothingForUnlistedCodes) {
    for (std::uint32_t code : {0u, 19u, 34u, 50u, 55u, 58u, 62u, 65u, 0xABCDABCDu}) {
        EXPECT_TRUE(EditionSuffix(code).empty()) << code;
    }
    EXPECT_EQ(EditionSuffix(1), u" Ultimate");
    EXPECT_EQ(EditionSuffix(18), u" Cluster Server");
    EXPECT_EQ(EditionSuffix(35), u" for Windows Essential Server Solutions (without Hyper-V)");
    EXPECT_EQ(EditionSuffix(49), u" Professional N");
    EXPECT_EQ(EditionSuffix(56), u" MultiPoint Server");
    EXPECT_EQ(EditionSuffix(63), u" Small Business Server Premium (core)");
    EXPECT_EQ(EditionSuffix(64), u" Cluster Server (without Hyper-V)");
    // Below major version 6 the edition code is not shown.
    EXPECT_EQ(DescribeOs(Make({5, 1, 2600, kWs, 0, 48}), 0), u"Windows XP Professional");
}

TEST(OsDescription, ServerTestAndNonNtCode) {
    EXPECT_FALSE(IsServerOs(Make({10, 0, 19045, kWs})));
    EXPECT_TRUE(IsServerOs(Make({10, 0, 19045, kProductDomainController})));
    EXPECT_TRUE(IsServerOs(Make({10, 0, 19045, kSrv})));
    EXPECT_FALSE(IsServerOs(OsVersionInfo{}));
    EXPECT_EQ(OsCode(Make({5, 1, 2600, kWs, 0, 0, false, u"", kPlatformWindows9x})), 0);
    // A zeroed record (every version call failed) names nothing and has code 0.
    EXPECT_EQ(OsCode(OsVersionInfo{}), 0);
    EXPECT_EQ(DescribeOs(OsVersionInfo{}, 0), u"Windows 0.0");
}

}  // namespace
}  // namespace palisade
