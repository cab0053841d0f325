// The tests an installation folder must pass.
#include "variables/folder_rules.h"

#include <vector>

#include "core/text.h"
#include "variables/folder_kind.h"
#include "variables/program_files_folders.h"

namespace palisade {
namespace {

constexpr std::size_t kLongestFolder = 259;

// The shell's folder numbers of the folders a product must not be installed into.
constexpr int kCsidlPersonal = 0x05;
constexpr int kCsidlDesktopDirectory = 0x10;
constexpr int kCsidlCommonDesktopDirectory = 0x19;
constexpr int kCsidlAppData = 0x1A;
constexpr int kCsidlLocalAppData = 0x1C;
constexpr int kCsidlCommonAppData = 0x23;
constexpr int kCsidlProfile = 0x28;
constexpr int kCsidlCommonDocuments = 0x2E;
constexpr int kCsidlSystemX86 = 0x29;

std::u16string WithoutTrailingBackslashes(std::u16string path) {
    while (path.size() > 3 && path.back() == u'\\') path.pop_back();
    return path;
}

bool SameFolder(std::u16string_view a, const std::u16string& b) {
    return !b.empty() && EqualsIgnoreCase(a, WithoutTrailingBackslashes(b));
}

// `folder` is `parent` or lies below it.
bool Within(std::u16string_view folder, const std::u16string& parent) {
    std::u16string base = WithoutTrailingBackslashes(parent);
    if (base.empty()) return false;
    if (EqualsIgnoreCase(folder, base)) return true;
    return folder.size() > base.size() && StartsWithIgnoreCase(folder, base) && folder[base.size()] == u'\\';
}

bool IsDriveAbsolute(std::u16string_view path) {
    return path.size() >= 3 && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z') && path[1] == u':' &&
           path[2] == u'\\';
}

// "\\server\share" and anything below it; the share alone is its root.
bool IsNetworkPath(std::u16string_view path, bool& isShareRoot) {
    if (path.size() < 5 || path[0] != u'\\' || path[1] != u'\\') return false;
    std::size_t server = path.find(u'\\', 2);
    if (server == std::u16string_view::npos || server == 2) return false;
    std::size_t share = path.find(u'\\', server + 1);
    if (share == server + 1) return false;
    isShareRoot = share == std::u16string_view::npos || share + 1 == path.size();
    return true;
}

bool HasDotComponents(std::u16string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        std::u16string_view part = path.substr(start, end - start);
        if (part == u"." || part == u"..") return true;
        start = end + 1;
    }
    return false;
}

bool HasInvalidCharacters(std::u16string_view path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        char16_t c = path[i];
        if (c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*') return true;
        if (c == u':' && i != 1) return true;  // only the drive's colon; no alternate data streams
    }
    return false;
}

std::vector<std::u16string> ProfileFolders(SystemFacts& facts) {
    std::vector<std::u16string> folders;
    for (int csidl : {kCsidlProfile, kCsidlPersonal, kCsidlDesktopDirectory, kCsidlCommonDesktopDirectory,
                      kCsidlAppData, kCsidlLocalAppData, kCsidlCommonAppData, kCsidlCommonDocuments}) {
        folders.push_back(facts.SpecialFolder(csidl));
    }
    // The folder that holds every user's profile.
    std::u16string profile = WithoutTrailingBackslashes(facts.SpecialFolder(kCsidlProfile));
    std::size_t slash = profile.rfind(u'\\');
    if (slash != std::u16string::npos && slash > 2) folders.push_back(profile.substr(0, slash));
    return folders;
}

bool IsSystemFolder(std::u16string_view folder, SystemFacts& facts) {
    if (SameFolder(folder, facts.WindowsFolder())) return true;
    if (Within(folder, facts.SystemFolder()) || Within(folder, facts.SpecialFolder(kCsidlSystemX86))) return true;
    for (const std::u16string& profile : ProfileFolders(facts)) {
        if (SameFolder(folder, profile)) return true;
    }
    return false;
}

bool IsProgramFilesRoot(std::u16string_view folder, SystemFacts& facts) {
    for (FolderKind kind : {FolderKind::Native, FolderKind::View32, FolderKind::View64}) {
        if (SameFolder(folder, ProgramFilesFolder(kind, facts))) return true;
        if (SameFolder(folder, CommonFilesFolder(kind, facts))) return true;
    }
    return false;
}

}  // namespace

FolderVerdict CheckInstallFolder(std::u16string_view folder, SystemFacts& facts) {
    std::size_t first = folder.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) return FolderVerdict::Empty;
    if (folder.size() > kLongestFolder) return FolderVerdict::TooLong;
    bool shareRoot = false;
    bool network = IsNetworkPath(folder, shareRoot);
    if (!network && folder.size() == 2 && folder[1] == u':') return FolderVerdict::DriveRoot;
    if (!network && !IsDriveAbsolute(folder)) return FolderVerdict::NotAbsolute;
    if (HasDotComponents(folder)) return FolderVerdict::NotAbsolute;
    if (HasInvalidCharacters(network ? folder.substr(2) : folder)) return FolderVerdict::InvalidName;
    if (shareRoot || (!network && folder.size() <= 3)) return FolderVerdict::DriveRoot;
    if (IsProgramFilesRoot(folder, facts)) return FolderVerdict::ProgramFilesRoot;
    if (IsSystemFolder(folder, facts)) return FolderVerdict::SystemFolder;
    if (network) return FolderVerdict::Accepted;
    switch (facts.DriveType(std::u16string(folder.substr(0, 3)))) {
        case DriveKind::NoRootDirectory: return FolderVerdict::MissingDrive;
        case DriveKind::Unknown:
        case DriveKind::CdRom: return FolderVerdict::UnsuitableDrive;
        default: return FolderVerdict::Accepted;
    }
}

int FolderRefusalMessage(FolderVerdict verdict) {
    switch (verdict) {
        case FolderVerdict::Accepted: return 0;
        case FolderVerdict::Empty: return Msg::kFolderEmpty;
        case FolderVerdict::NotAbsolute:
        case FolderVerdict::InvalidName: return Msg::kFolderNameInvalid;
        case FolderVerdict::TooLong: return Msg::kFolderPathTooLong;
        case FolderVerdict::DriveRoot:
        case FolderVerdict::ProgramFilesRoot: return Msg::kFolderNeedsSubfolder;
        case FolderVerdict::SystemFolder: return Msg::kSystemFolderRefused;
        case FolderVerdict::MissingDrive: return Msg::kDriveMissing;
        case FolderVerdict::UnsuitableDrive: return Msg::kDriveKindRefused;
    }
    return Msg::kFolderNameInvalid;
}

}  // namespace palisade
