// The settings-driven decisions of the main installation sequence.
#include "startup/install_decisions.h"

#include "actions/file_comparison.h"
#include "core/text.h"
#include "variables/os_description.h"

namespace palisade {
namespace {

std::uint32_t NtKindBit(const OsVersionInfo& os) {
    const bool server = IsServerOs(os);
    const std::uint32_t major = os.majorVersion;
    const std::uint32_t minor = os.minorVersion;
    if (major <= 3) return 0x20;
    if (major == 4) return 0x40;
    if (major == 5 && minor == 0) return 0x80;
    if (major == 5 && (minor == 1 || (minor == 2 && !server))) return 0x100;
    if (major == 5 && minor == 2) return 0x200;
    if (major == 6 && minor == 0) return server ? 0x800 : 0x400;
    if (major == 6 && minor == 1) return server ? 0x800 : 0x1000;
    if (major == 6 && (minor == 2 || minor == 3)) return server ? 0x4000 : 0x2000;
    if (major == 6 && minor == 4) return 0x8000;
    if (major == 10 && minor == 0) {
        if (server) return os.buildNumber < 17733 ? 0x10000 : 0x20000;
        return os.buildNumber < 21996 ? 0x8000 : 0x80000;
    }
    return 0x1;
}

bool IsBlankText(std::u16string_view text) {
    for (char16_t c : text) {
        if (!IsBlank(c)) return false;
    }
    return true;
}

}  // namespace

int CompareProductVersions(std::u16string_view a, std::u16string_view b) { return CompareVersions(a, b); }

std::uint32_t SystemKindBit(const OsVersionInfo& os) {
    switch (os.platformId) {
        case kPlatformWin32s: return 0x2;
        case kPlatformWindows9x:
            if (os.majorVersion != 4) return 0x1;
            if (os.minorVersion < 10) return 0x4;
            if (os.minorVersion < 90) return 0x8;
            return 0x10;
        case kPlatformNt: return NtKindBit(os);
        default: return 0x1;
    }
}

int RequiredBitness(std::uint8_t bitness, bool systemIs64Bit) {
    if (bitness == 1 && !systemIs64Bit) return 64;
    if (bitness == 2 && systemIs64Bit) return 32;
    return 0;
}

bool BelowMinimumSystem(const MinimumSystemVersion& minimum, const OsVersionInfo& os) {
    if (minimum.IsEmpty()) return false;
    if (os.majorVersion != minimum.major) return os.majorVersion < minimum.major;
    if (os.minorVersion != minimum.minor) return os.minorVersion < minimum.minor;
    if (os.servicePackMajor != minimum.servicePackMajor) return os.servicePackMajor < minimum.servicePackMajor;
    if (os.servicePackMinor != minimum.servicePackMinor) return os.servicePackMinor < minimum.servicePackMinor;
    return minimum.build != 0 && os.buildNumber < minimum.build;
}

std::u16string MinimumSystemText(const MinimumSystemVersion& minimum) {
    OsVersionInfo os;
    os.majorVersion = minimum.major;
    os.minorVersion = minimum.minor;
    os.buildNumber = minimum.build;
    os.platformId = minimum.platformId == 0 ? kPlatformNt : minimum.platformId;
    os.productType = kProductWorkstation;
    os.servicePackMajor = minimum.servicePackMajor;
    os.servicePackMinor = minimum.servicePackMinor;
    if (minimum.servicePackMajor != 0) os.servicePackText = u"Service Pack " + ToU16(minimum.servicePackMajor);
    return DescribeOs(os, kDescribeNoEdition);
}

bool MustUninstallFirst(const InstallerSettings& settings, std::u16string_view existingVersion) {
    if ((settings.settingsFlags1 & 0x1) == 0) return false;
    return settings.mustUninstallVersion.empty() ||
           CompareProductVersions(existingVersion, settings.mustUninstallVersion) < 0;
}

bool DowngradeForbidden(std::u16string_view noDowngradeBelow, std::u16string_view productVersion) {
    return !noDowngradeBelow.empty() && CompareProductVersions(productVersion, noDowngradeBelow) < 0;
}

InstallTypeDecision DecideInstallType(bool compareVersions, std::u16string_view existingVersion,
                                      std::u16string_view productVersion) {
    if (!compareVersions || IsBlankText(existingVersion) || IsBlankText(productVersion)) return {1, 3};
    int order = CompareProductVersions(existingVersion, productVersion);
    if (order == 0) return {1, 4};
    if (order < 0) return {2, 5};
    return {3, 6};
}

bool UnexpectedExistingVersion(const InstallerSettings& settings, std::u16string_view existingVersion) {
    if ((settings.settingsFlags2 & 0x1000) == 0 || existingVersion.empty()) return false;
    std::u16string expected = Windows1252ToUtf16(settings.expectedExistingVersion);
    return expected.empty() || expected != existingVersion;
}

std::u16string MustUninstallCommand(std::u16string_view uninstallCommand, std::u16string_view ownCommandLine) {
    std::u16string own(ownCommandLine);
    for (char16_t& c : own) {
        if (c == u'"') c = u'`';
    }
    return std::u16string(uninstallCommand) + u" /r:\"" + own + u"\"";
}

std::optional<RegistryValuePath> ParseRegistryValuePath(std::u16string_view path) {
    RegistryValuePath result;
    if (StartsWithIgnoreCase(path, u"HKLM\\")) {
        result.root = RegistryRoot::LocalMachine;
    } else if (StartsWithIgnoreCase(path, u"HKCU\\")) {
        result.root = RegistryRoot::CurrentUser;
    } else {
        return std::nullopt;
    }
    std::u16string_view rest = path.substr(5);
    std::size_t split = rest.rfind(u'\\');
    if (split == std::u16string_view::npos) return std::nullopt;
    result.key = std::u16string(rest.substr(0, split));
    result.value = std::u16string(rest.substr(split + 1));
    return result;
}

DefaultInstallPath ResolveDefaultInstallPath(std::u16string_view expanded, std::u16string_view programFiles) {
    DefaultInstallPath result;
    if (EqualsIgnoreCase(expanded, u"<master>")) {
        result.source = DefaultInstallPath::Source::Master;
        return result;
    }
    if (std::optional<RegistryValuePath> registry = ParseRegistryValuePath(expanded)) {
        result.source = DefaultInstallPath::Source::Registry;
        result.registry = *registry;
        result.registryText = std::u16string(expanded);
        return result;
    }
    bool absolute = (expanded.size() >= 2 && expanded[1] == u':') || (expanded.size() >= 2 && expanded[0] == u'\\' &&
                                                                       expanded[1] == u'\\');
    if (absolute) {
        result.folder = NormaliseFolder(expanded);
    } else {
        std::u16string_view relative = expanded;
        while (!relative.empty() && relative.front() == u'\\') relative.remove_prefix(1);
        std::u16string base = NormaliseFolder(programFiles);
        if (!base.empty() && base.back() != u'\\') base += u'\\';
        result.folder = NormaliseFolder(base + std::u16string(relative));
    }
    return result;
}

std::u16string NormaliseFolder(std::u16string_view folder) {
    std::size_t begin = 0;
    std::size_t end = folder.size();
    while (begin < end && (folder[begin] == u' ' || folder[begin] == u'\t')) ++begin;
    while (end > begin && (folder[end - 1] == u' ' || folder[end - 1] == u'\t')) --end;
    std::u16string text(folder.substr(begin, end - begin));
    bool driveRoot = text.size() == 3 && text[1] == u':';
    while (!driveRoot && text.size() > 1 && text.back() == u'\\') text.pop_back();
    return text;
}

}  // namespace palisade
