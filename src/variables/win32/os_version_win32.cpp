// Gathers the OsVersionInfo record from the running system; every entry point
// that older systems lack is looked up at run time.
#include "variables/win32/os_version_win32.h"

#include <windows.h>

#include "core/win32/registry.h"
#include "core/win32/system_library.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
using GetProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
using GetNativeSystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);
using WineGetVersionFunction = const char*(CDECL*)();

// System metric indexes (not all of them are in every SDK's headers).
constexpr int kMetricTabletPc = 86;
constexpr int kMetricMediaCenter = 87;
constexpr int kMetricStarter = 88;
constexpr int kMetricServerR2 = 89;

// A function of a module every process has loaded (ntdll, kernel32).
template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
    return LibraryFunction<Function>(::GetModuleHandleW(module), name);
}

// RtlGetVersion is not subject to the compatibility shims that make
// GetVersionExW report an older system to unmanifested programs.
bool ReadVersionRecord(OSVERSIONINFOEXW& record) {
    record = OSVERSIONINFOEXW{};
    record.dwOSVersionInfoSize = sizeof(record);
    if (auto rtlGetVersion = Lookup<RtlGetVersionFunction>(L"ntdll.dll", "RtlGetVersion")) {
        if (rtlGetVersion(&record) == 0) return true;
    }
    record = OSVERSIONINFOEXW{};
    record.dwOSVersionInfoSize = sizeof(record);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&record)) != 0;
#pragma GCC diagnostic pop
}

void CopyVersionRecord(const OSVERSIONINFOEXW& record, OsVersionInfo& info) {
    info.majorVersion = record.dwMajorVersion;
    info.minorVersion = record.dwMinorVersion;
    info.buildNumber = record.dwBuildNumber;
    info.platformId = record.dwPlatformId;
    std::size_t length = 0;
    while (length < kServicePackTextLimit && record.szCSDVersion[length] != L'\0') ++length;
    info.servicePackText = FromWide(std::wstring_view(record.szCSDVersion, length));
    info.servicePackMajor = record.wServicePackMajor;
    info.servicePackMinor = record.wServicePackMinor;
    info.suiteMask = record.wSuiteMask;
    info.productType = record.wProductType;
}

void ReadEditionAndArchitecture(OsVersionInfo& info) {
    if (info.majorVersion > 5) {
        if (auto getProductInfo = Lookup<GetProductInfoFunction>(L"kernel32.dll", "GetProductInfo")) {
            DWORD edition = 0;
            if (getProductInfo(info.majorVersion, info.minorVersion, info.servicePackMajor, info.servicePackMinor,
                               &edition)) {
                info.editionCode = edition;
            }
        }
    }
    if (info.majorVersion > 4) {
        if (auto getNativeSystemInfo = Lookup<GetNativeSystemInfoFunction>(L"kernel32.dll", "GetNativeSystemInfo")) {
            SYSTEM_INFO system{};
            getNativeSystemInfo(&system);
            info.processorArchitecture = system.wProcessorArchitecture;
            info.is64Bit = system.wProcessorArchitecture == kArchitectureAmd64 ||
                           system.wProcessorArchitecture == kArchitectureIa64;
        }
    }
}

void ReadDescriptionFacts(OsVersionInfo& info) {
    info.serverR2 = ::GetSystemMetrics(kMetricServerR2) != 0;
    info.mediaCenter = ::GetSystemMetrics(kMetricMediaCenter) != 0;
    info.starter = ::GetSystemMetrics(kMetricStarter) != 0;
    info.tabletPc = ::GetSystemMetrics(kMetricTabletPc) != 0;
    if (info.platformId == kPlatformNt && info.majorVersion == 10) {
        info.releaseId = ReadRegistryText(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Windows NT\\CurrentVersion",
                                          u"ReleaseId")
                             .value_or(std::u16string());
    }
}

}  // namespace

OsVersionInfo ReadOsVersion() {
    OsVersionInfo info;
    if (auto wineGetVersion = Lookup<WineGetVersionFunction>(L"ntdll.dll", "wine_get_version")) {
        if (const char* version = wineGetVersion()) info.wineVersion = std::string(version);
    }
    OSVERSIONINFOEXW record;
    if (!ReadVersionRecord(record)) return info;
    CopyVersionRecord(record, info);
    ReadEditionAndArchitecture(info);
    ReadDescriptionFacts(info);
    return info;
}

const OsVersionInfo& CurrentOsVersion() {
    static const OsVersionInfo info = ReadOsVersion();
    return info;
}

}  // namespace palisade
