// The operating-system version record that the OS description, the variables
// and the installation log read; the Win32 side fills it once per process.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace palisade {

// Platform ids of the system version record.
inline constexpr std::uint32_t kPlatformWin32s = 0;
inline constexpr std::uint32_t kPlatformWindows9x = 1;
inline constexpr std::uint32_t kPlatformNt = 2;

// Product types of the system version record.
inline constexpr std::uint8_t kProductWorkstation = 1;
inline constexpr std::uint8_t kProductDomainController = 2;
inline constexpr std::uint8_t kProductServer = 3;

// Suite bits of the system version record.
inline constexpr std::uint16_t kSuiteEnterprise = 0x0002;
inline constexpr std::uint16_t kSuiteEmbedded = 0x0040;
inline constexpr std::uint16_t kSuiteDatacenter = 0x0080;
inline constexpr std::uint16_t kSuitePersonal = 0x0200;
inline constexpr std::uint16_t kSuiteBlade = 0x0400;
inline constexpr std::uint16_t kSuiteStorageServer = 0x2000;
inline constexpr std::uint16_t kSuiteComputeServer = 0x4000;
inline constexpr std::uint16_t kSuiteHomeServer = 0x8000;

// Native processor architectures that make the system 64-bit.
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
inline constexpr std::uint16_t kArchitectureIa64 = 6;

// The service-pack text of the version record holds at most 127 characters.
inline constexpr std::size_t kServicePackTextLimit = 127;

struct OsVersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;       // kPlatform...
    std::u16string servicePackText;     // the CSD version text, may be empty
    std::uint16_t servicePackMajor = 0;  // passed to GetProductInfo
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;         // kSuite... bits
    std::uint8_t productType = 0;        // kProduct...
    std::uint32_t editionCode = 0;       // GetProductInfo's answer, 0 when not available
    std::uint16_t processorArchitecture = 0;  // of the native system information
    bool is64Bit = false;                // native architecture AMD64 or IA-64
    std::optional<std::string> wineVersion;  // wine_get_version's answer under WINE

    // Answers the description needs beside the version record, taken when the
    // record is filled (they cannot change while the process runs).
    bool serverR2 = false;     // GetSystemMetrics(SM_SERVERR2) non-zero
    bool mediaCenter = false;  // SM_MEDIACENTER
    bool starter = false;      // SM_STARTER
    bool tabletPc = false;     // SM_TABLETPC
    std::u16string releaseId;  // HKLM "Software\Microsoft\Windows NT\CurrentVersion" "ReleaseId"
};

}  // namespace palisade
