// The folder and drive values that do not follow the shell-folder chain.
#include "variables/system_folders.h"

#include "core/text.h"
#include "variables/folder_lookup.h"

namespace palisade {
namespace {

std::u16string WithoutOneTrailingBackslash(std::u16string text) {
    if (!text.empty() && text.back() == u'\\') text.pop_back();
    return text;
}

// Replaces every "%SystemRoot%", compared without regard to case.
std::u16string ReplaceSystemRoot(std::u16string_view text, std::u16string_view systemRoot) {
    constexpr std::u16string_view kName = u"%SystemRoot%";
    std::u16string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = FindIgnoreCase(text, kName, pos);
        if (hit == std::u16string::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(systemRoot);
        pos = hit + kName.size();
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::u16string WindowsFolderJoined(SystemFacts& facts, std::u16string_view name) {
    return JoinFolder(facts.WindowsFolder(), name);
}

std::u16string SystemFolderPath(SystemFacts& facts) {
    std::u16string folder = facts.SystemFolder();
    if (!folder.empty()) return folder;
    bool nt = facts.OsVersion().platformId == kPlatformNt;
    return WindowsFolderJoined(facts, nt ? u"System32" : u"System");
}

std::u16string TempFolder(SystemFacts& facts) {
    std::optional<std::u16string>& cache = facts.TempFolderCache();
    if (cache) return *cache;
    std::u16string folder = facts.TempPath();
    if (folder.empty() || !facts.FolderExists(folder)) {
        folder = WindowsFolderJoined(facts, u"temp");
        if (!facts.FolderExists(folder)) {
            folder = u"c:\\temp";
            facts.CreateFolder(folder);
        }
    }
    cache = RemoveTrailingBackslash(std::move(folder));
    return *cache;
}

std::u16string DeviceFolder(SystemFacts& facts) {
    auto value = facts.RegistryText(RegistryRoot::LocalMachine, kCurrentVersionKey, u"DevicePath");
    std::u16string folder;
    if (value) {
        folder = value->substr(0, value->find(u';'));
        std::u16string systemRoot = facts.EnvironmentVariable(u"SystemRoot");
        if (!systemRoot.empty()) folder = ReplaceSystemRoot(folder, systemRoot);
        folder = RemoveTrailingBackslash(std::move(folder));
    }
    return folder.empty() ? WindowsFolderJoined(facts, u"INF") : folder;
}

std::u16string MediaFolder(SystemFacts& facts) {
    auto value = ReadFolderValue(facts, FolderRegistry::CurrentVersion, u"MediaPath");
    return value ? *value : WindowsFolderJoined(facts, u"Media");
}

std::u16string InetpubFolder(SystemFacts& facts) {
    std::u16string root = u"c:\\Inetpub\\wwwroot";
    auto value = facts.RegistryText(RegistryRoot::LocalMachine, u"SOFTWARE\\Microsoft\\INetStp", u"PathWWWRoot");
    if (value && !value->empty()) {
        auto expanded = facts.ExpandEnvironment(*value);
        root = expanded ? *expanded : *value;
    }
    root = WithoutOneTrailingBackslash(std::move(root));
    std::u16string parent = CutLastComponent(root).value_or(std::u16string());
    return WithoutOneTrailingBackslash(std::move(parent));
}

std::u16string BootDrive(SystemFacts& facts) {
    auto value = facts.RegistryText(RegistryRoot::LocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
                                    u"BootDir");
    if (value) {
        if (auto drive = DriveOf(*value)) return *drive;
    }
    return u"C:";
}

bool IsNetworkFolder(std::u16string_view folder, SystemFacts& facts) {
    if (folder.substr(0, 2) == u"\\\\") return true;
    auto drive = DriveOf(folder);
    return drive && facts.DriveType(*drive + u"\\") == DriveKind::Remote;
}

}  // namespace palisade
