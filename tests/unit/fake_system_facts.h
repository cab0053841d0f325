// A SystemFacts whose answers the test sets, for the variable and folder tests.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/text.h"
#include "variables/system_facts.h"

namespace palisade::testing {

class FakeSystemFacts : public SystemFacts {
public:
    std::map<int, std::u16string> specialFolders;
    std::map<std::uint32_t, std::u16string> knownFolders;  // by the id's first field
    std::map<std::tuple<RegistryRoot, std::u16string, std::u16string>, std::u16string> registry;
    std::map<std::u16string, std::u16string> environment;  // names in upper case
    bool environmentExpansionFails = false;
    std::u16string windowsFolder = u"C:\\Windows";
    std::u16string systemFolder = u"C:\\Windows\\system32";
    std::u16string tempPath = u"C:\\Users\\me\\AppData\\Local\\Temp\\";
    std::set<std::u16string> existingFolders = {u"C:\\Users\\me\\AppData\\Local\\Temp\\"};
    std::vector<std::u16string> createdFolders;
    std::map<std::u16string, DriveKind> driveKinds;
    std::u16string modulePath = u"D:\\Downloads\\setup.exe";
    OsVersionInfo os;

    // What the environment pass was given, and how often the system was asked.
    std::vector<std::u16string> expansionInputs;
    int tempPathCalls = 0;
    int queries = 0;

    void SetRegistry(RegistryRoot root, std::u16string key, std::u16string name, std::u16string value) {
        registry[{root, std::move(key), std::move(name)}] = std::move(value);
    }
    void SetShellFolder(RegistryRoot root, std::u16string name, std::u16string value) {
        SetRegistry(root, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", std::move(name),
                    std::move(value));
    }

    std::u16string SpecialFolder(int csidl) override { return Find(specialFolders, csidl); }
    std::u16string KnownFolder(const FolderGuid& id) override { return Find(knownFolders, id.data1); }
    std::optional<std::u16string> RegistryText(RegistryRoot root, std::u16string_view key,
                                               std::u16string_view valueName) override {
        ++queries;
        // Value names are compared without regard to case, as the registry does.
        for (const auto& [where, value] : registry) {
            if (std::get<0>(where) == root && EqualsIgnoreCase(std::get<1>(where), key) &&
                EqualsIgnoreCase(std::get<2>(where), valueName)) {
                return value;
            }
        }
        return std::nullopt;
    }
    std::u16string EnvironmentVariable(std::u16string_view name) override { return Find(environment, Upper(name)); }
    std::optional<std::u16string> ExpandEnvironment(std::u16string_view text) override;
    std::u16string WindowsFolder() override {
        ++queries;
        return windowsFolder;
    }
    std::u16string SystemFolder() override {
        ++queries;
        return systemFolder;
    }
    std::u16string TempPath() override {
        ++tempPathCalls;
        return tempPath;
    }
    bool FolderExists(std::u16string_view path) override { return existingFolders.count(std::u16string(path)) != 0; }
    bool CreateFolder(std::u16string_view path) override {
        createdFolders.emplace_back(path);
        existingFolders.emplace(path);
        return true;
    }
    DriveKind DriveType(std::u16string_view root) override {
        auto it = driveKinds.find(std::u16string(root));
        return it == driveKinds.end() ? DriveKind::Fixed : it->second;
    }
    std::u16string ModulePath() override {
        ++queries;
        return modulePath;
    }
    const OsVersionInfo& OsVersion() override { return os; }

    static std::u16string Upper(std::u16string_view text) {
        std::u16string out;
        for (char16_t c : text) out += FoldCase(c);
        return out;
    }

private:
    template <typename Map, typename Key>
    std::u16string Find(const Map& map, const Key& key) {
        ++queries;
        auto it = map.find(key);
        return it == map.end() ? std::u16string() : it->second;
    }
};

// Expands %NAME% the way the system does: a defined name is replaced, an
// undefined one is left with its percent signs and the scan goes on at the
// second percent sign.
inline std::optional<std::u16string> FakeSystemFacts::ExpandEnvironment(std::u16string_view text) {
    expansionInputs.emplace_back(text);
    if (environmentExpansionFails) return std::nullopt;
    std::u16string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t open = text.find(u'%', pos);
        std::size_t close = open == text.npos ? text.npos : text.find(u'%', open + 1);
        if (close == text.npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, open - pos));
        auto it = environment.find(Upper(text.substr(open + 1, close - open - 1)));
        if (it != environment.end() && close > open + 1) {
            out.append(it->second);
            pos = close + 1;
        } else {
            out.append(text.substr(open, close - open));
            pos = close;
        }
    }
    return out;
}

// A 64-bit Windows 10 workstation record.
inline OsVersionInfo Windows10x64() {
    OsVersionInfo os;
    os.majorVersion = 10;
    os.buildNumber = 19045;
    os.platformId = kPlatformNt;
    os.productType = kProductWorkstation;
    os.editionCode = 48;
    os.processorArchitecture = kArchitectureAmd64;
    os.is64Bit = true;
    return os;
}

}  // namespace palisade::testing
