// The operating system's name and numeric code, worked out from the version record.
#include "variables/os_description.h"

#include "core/format.h"
#include "core/text.h"

namespace palisade {
namespace {

// Edition suffixes by GetProductInfo code; an empty entry adds nothing.
constexpr std::u16string_view kEditionSuffixes[] = {
    u"",                                                        // 0
    u" Ultimate",                                               // 1
    u" Home Basic",                                             // 2
    u" Home Premium",                                           // 3
    u" Enterprise",                                             // 4
    u" Home Basic N",                                           // 5
    u" Business",                                               // 6
    u" Server Standard",                                        // 7
    u" Datacenter",                                             // 8
    u" Small Business Server",                                  // 9
    u" Enterprise",                                             // 10
    u" Starter",                                                // 11
    u" Datacenter (core)",                                      // 12
    u" Server Standard (core)",                                 // 13
    u" Enterprise (core)",                                      // 14
    u" Enterprise for Itanium",                                 // 15
    u" Business N",                                             // 16
    u" Web Server",                                             // 17
    u" Cluster Server",                                         // 18
    u"",                                                        // 19
    u" Storage Server Express",                                 // 20
    u" Storage Server Standard",                                // 21
    u" Storage Server Workgroup",                               // 22
    u" Storage Server Enterprise",                              // 23
    u" for Windows Essential Server Solutions",                 // 24
    u" Small Business Server Premium",                          // 25
    u" Home Premium N",                                         // 26
    u" Enterprise N",                                           // 27
    u" Ultimate N",                                             // 28
    u" Web Server (core)",                                      // 29
    u" Essential Business Server Management Server",            // 30
    u" Essential Business Server Security Server",              // 31
    u" Essential Business Server Messaging Server",             // 32
    u" Server Foundation",                                      // 33
    u"",                                                        // 34
    u" for Windows Essential Server Solutions (without Hyper-V)",  // 35
    u" Server Standard (without Hyper-V)",                      // 36
    u" Server Datacenter (without Hyper-V)",                    // 37
    u" Server Enterprise (without Hyper-V)",                    // 38
    u" Server Datacenter (without Hyper-V) (core)",             // 39
    u" Server Standard (without Hyper-V) (core)",               // 40
    u" Server Enterprise (without Hyper-V) (core)",             // 41
    u" Hyper-V Server",                                         // 42
    u" Storage Server Express (core)",                          // 43
    u" Storage Server Standard (core)",                         // 44
    u" Storage Server Workgroup (core)",                        // 45
    u" Storage Server Enterprise (core)",                       // 46
    u" Starter N",                                              // 47
    u" Professional",                                           // 48
    u" Professional N",                                         // 49
    u"", u"", u"", u"", u"", u"",                               // 50..55
    u" MultiPoint Server",                                      // 56
    u" MultiPoint Server (core)",                               // 57
    u"", u"", u"", u"", u"",                                    // 58..62
    u" Small Business Server Premium (core)",                   // 63
    u" Cluster Server (without Hyper-V)",                       // 64
};

// The edition code GetProductInfo gives Windows Home Server 2011.
constexpr std::uint32_t kEditionHomeServer2011 = 34;

// First builds of Windows 11 and of Server 2019 and Server 2022.
constexpr std::uint32_t kFirstWindows11Build = 21996;
constexpr std::uint32_t kFirstServer2019Build = 17733;
constexpr std::uint32_t kFirstServer2022Build = 20298;

// One row of the naming table: the base name in its forms and the details.
struct OsName {
    std::u16string longForm;
    std::u16string shortForm;
    std::u16string details;
    std::u16string plainForm;  // when details are off; empty: the long form
};

bool Has(const OsVersionInfo& os, std::uint16_t suite) { return (os.suiteMask & suite) != 0; }
bool IsWorkstation(const OsVersionInfo& os) { return os.productType == kProductWorkstation; }

OsName Same(std::u16string name, std::u16string details = {}) {
    return OsName{name, name, std::move(details), {}};
}

OsName VersionNamed(std::u16string_view format, const OsVersionInfo& os) {
    return Same(Format(format, {os.majorVersion, os.minorVersion}));
}

OsName NameWindows9x(const OsVersionInfo& os) {
    if (os.majorVersion != 4) return VersionNamed(u"9x %d.%d", os);
    // On Windows 9x the build sits in the low word; the high word repeats the version.
    std::uint32_t build = os.buildNumber & 0xFFFF;
    if (os.minorVersion < 10) return Same(u"95", build == 1111 ? u" OSR2" : u"");
    if (os.minorVersion < 90) return Same(u"98", build == 2222 ? u" SE" : u"");
    return Same(u"ME");
}

std::u16string DetailsWindows2000(const OsVersionInfo& os) {
    if (IsWorkstation(os)) return u" Professional";
    if (Has(os, kSuiteEnterprise)) return u" Advanced Server";
    if (Has(os, kSuiteDatacenter)) return u" Datacenter Server";
    return u" Server";
}

std::u16string DetailsWindowsXp(const OsVersionInfo& os) {
    std::u16string details = Has(os, kSuitePersonal) ? u" Home" : u" Professional";
    if (Has(os, kSuiteEmbedded)) details += u" Embedded";
    if (os.mediaCenter) details += u" Media Center";
    if (os.starter) details += u" Starter";
    if (os.tabletPc) details += u" Tablet PC";
    return details;
}

OsName NameServer2003(const OsVersionInfo& os) {
    std::u16string name = Has(os, kSuiteStorageServer) ? u"Storage Server 2003" : u"Server 2003";
    if (os.serverR2) name += u" R2";
    std::u16string details;
    if (Has(os, kSuiteEnterprise)) details += u" Enterprise";
    if (Has(os, kSuiteDatacenter)) details += u" Datacenter";
    if (Has(os, kSuiteBlade)) details += u" Web";
    if (Has(os, kSuiteComputeServer)) details += u" Compute Cluster";
    return OsName{name, u"2003", details, {}};
}

OsName NameNt5(const OsVersionInfo& os) {
    switch (os.minorVersion) {
        case 0: return Same(u"2000", DetailsWindows2000(os));
        case 1: return Same(u"XP", DetailsWindowsXp(os));
        case 2:
            if (Has(os, kSuiteHomeServer)) return OsName{u"Home Server", u"XP", {}, {}};
            if (IsWorkstation(os) && os.is64Bit) return OsName{u"XP Professional", u"XP", {}, u"XP"};
            return NameServer2003(os);
        default: return Same(Format(u"NT 5.%d", {os.minorVersion}));
    }
}

// Vista / Server 2008 details; only without an edition code, which names the edition itself.
std::u16string DetailsNt60(const OsVersionInfo& os) {
    if (os.editionCode != 0) return {};
    std::u16string details;
    if (IsWorkstation(os)) {
        if (Has(os, kSuitePersonal)) details += u" Home";
    } else {
        if (Has(os, kSuiteDatacenter)) details += u" Datacenter";
        if (Has(os, kSuiteEnterprise)) details += u" Enterprise";
    }
    return details;
}

OsName WorkstationOrServer(const OsVersionInfo& os, OsName workstation, OsName server) {
    return IsWorkstation(os) ? std::move(workstation) : std::move(server);
}

OsName NameNt6(const OsVersionInfo& os) {
    switch (os.minorVersion) {
        case 0:
            return WorkstationOrServer(os, Same(u"Vista", DetailsNt60(os)),
                                       OsName{u"Server 2008", u"2008", DetailsNt60(os), {}});
        case 1:
            if (os.editionCode == kEditionHomeServer2011) return OsName{u"Home Server 2011", u"7", {}, {}};
            return WorkstationOrServer(os, Same(u"7", DetailsNt60(os)),
                                       OsName{u"Server 2008 R2", u"2008", DetailsNt60(os), {}});
        case 2: return WorkstationOrServer(os, Same(u"8"), OsName{u"Server 2012", u"2012", {}, {}});
        case 3: return WorkstationOrServer(os, OsName{u"8.1", u"8", {}, {}}, OsName{u"Server 2012 R2", u"2012", {}, {}});
        case 4: return OsName{u"10 alpha", u"10", {}, {}};
        default: return OsName{Format(u"NT 6.%d", {os.minorVersion}), u"NT6", {}, {}};
    }
}

OsName NameNt10(const OsVersionInfo& os) {
    if (IsWorkstation(os)) return Same(os.buildNumber < kFirstWindows11Build ? u"10" : u"11");
    if (os.buildNumber < kFirstServer2019Build) return OsName{u"Server 2016", u"2016", {}, {}};
    if (os.buildNumber < kFirstServer2022Build) return OsName{u"Server 2019", u"2019", {}, {}};
    return OsName{u"Server 2022", u"2022", {}, {}};
}

OsName NameOf(const OsVersionInfo& os) {
    switch (os.platformId) {
        case kPlatformWin32s: return VersionNamed(u"%d.%d", os);
        case kPlatformWindows9x: return NameWindows9x(os);
        case kPlatformNt:
            if (os.majorVersion == 5) return NameNt5(os);
            if (os.majorVersion == 6) return NameNt6(os);
            if (os.majorVersion == 10 && os.minorVersion == 0) return NameNt10(os);
            return VersionNamed(u"NT %d.%d", os);
        default: return OsName{};
    }
}

std::u16string Trimmed(std::u16string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return std::u16string(text.substr(begin, end - begin));
}

}  // namespace

std::u16string_view EditionSuffix(std::uint32_t editionCode) {
    constexpr std::size_t count = sizeof(kEditionSuffixes) / sizeof(kEditionSuffixes[0]);
    return editionCode < count ? kEditionSuffixes[editionCode] : std::u16string_view();
}

std::u16string DescribeOs(const OsVersionInfo& os, int mode) {
    const bool isShort = (mode & kDescribeShort) != 0;
    const bool plain = isShort || (mode & kDescribeNoEdition) != 0;
    OsName name = NameOf(os);

    std::u16string text;
    if (!isShort) {
        if (os.wineVersion) text += u"WINE " + Windows1252ToUtf16(*os.wineVersion) + u" reporting as ";
        text += u"Windows ";
    }
    if (isShort) {
        text += name.shortForm;
    } else {
        text += plain && !name.plainForm.empty() ? name.plainForm : name.longForm;
    }
    if (!plain) {
        text += name.details;
        if (os.majorVersion >= 6) text += EditionSuffix(os.editionCode);
        if (os.is64Bit) text += u" x64";
    }
    if (isShort) return Trimmed(text);

    if ((mode & kDescribeNoServicePack) == 0 && !os.servicePackText.empty()) {
        if (os.servicePackText.front() != u' ') text += u' ';
        text += os.servicePackText;
    }
    if (os.platformId == kPlatformNt && os.majorVersion == 10 && os.minorVersion == 0 && IsWorkstation(os) &&
        !os.releaseId.empty()) {
        text += u' ';
        text += os.releaseId;
    }
    return Trimmed(text);
}

std::int32_t OsCode(const OsVersionInfo& os) {
    if (os.platformId != kPlatformNt) return 0;
    const bool workstation = IsWorkstation(os);
    const std::uint32_t version = os.majorVersion * 100 + os.minorVersion;
    if (os.majorVersion > 10 || os.minorVersion >= 100) return 0;
    switch (version) {
        case 501: return 20;
        case 502:
            if (Has(os, kSuiteHomeServer)) return 28;
            if (workstation) return os.is64Bit ? 24 : 20;
            return os.serverR2 ? 26 : 22;
        case 600: return workstation ? 30 : 32;
        case 601:
            if (os.editionCode == kEditionHomeServer2011) return 38;
            return workstation ? 36 : 34;
        case 602: return workstation ? 40 : 42;
        case 603: return workstation ? 44 : 46;
        case 604: return 48;
        case 1000:
            if (workstation) return os.buildNumber < kFirstWindows11Build ? 48 : 56;
            if (os.buildNumber < kFirstServer2019Build) return 50;
            return os.buildNumber < kFirstServer2022Build ? 52 : 60;
        default: return 0;
    }
}

bool IsServerOs(const OsVersionInfo& os) {
    return os.productType == kProductDomainController || os.productType == kProductServer;
}

}  // namespace palisade
