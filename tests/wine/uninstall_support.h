// Helpers of the uninstaller's Wine tests: snapshots of folders and registry
// exports, their differences, waiting for the self-removal script, and
// running a product's QuietUninstallString exactly as stored.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "install_support.h"

namespace palisade::wine {

inline const char kUninstallKey[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline const char kSharedDlls[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A name no other test process uses at the same time.

// Relative path → contents hash of every file and folder (0) below a root.
using Tree = std::map<std::string, std::size_t>;

// `skip` tells, by the relative path, which entries (and everything below a
// skipped folder) are left out. Symbolic links are listed, never followed.
inline Tree Snapshot(const std::filesystem::path& root,
                     const std::function<bool(const std::string&)>& skip = nullptr) {
    namespace fs = std::filesystem;
    Tree tree;
    if (!fs::exists(root)) return tree;
    std::error_code error;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string relative = fs::relative(it->path(), root).string();
        if (skip && skip(relative)) {
            if (it->is_directory() && !it->is_symlink()) it.disable_recursion_pending();
            continue;
        }
        bool plainFile = it->is_regular_file() && !it->is_symlink();
        tree[relative] = plainFile ? std::hash<std::string>()(ReadHostFile(it->path())) : 0;
    }
    return tree;
}

inline std::string Difference(const Tree& before, const Tree& after) {
    std::string text;
    for (const auto& [path, hash] : after) {
        auto it = before.find(path);
        if (it == before.end()) text += "  left behind: " + path + "\n";
        else if (it->second != hash) text += "  changed: " + path + "\n";
    }
    for (const auto& [path, hash] : before) {
        if (!after.count(path)) text += "  removed: " + path + "\n";
    }
    return text;
}

// A registry export as a set of "[key]" and "[key] value-line" entries, with
// continued lines joined; keys for which `skip` says true are left out.
using RegistryLines = std::set<std::string>;
inline RegistryLines RegistrySnapshot(const std::string& exported,
                                      const std::function<bool(const std::string&)>& skip = nullptr) {
    RegistryLines lines;
    std::string key;
    bool skipping = false;
    std::string pending;
    std::size_t start = 0;
    while (start < exported.size()) {
        std::size_t end = exported.find('\n', start);
        if (end == std::string::npos) end = exported.size();
        std::string line = exported.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!pending.empty()) {
            std::size_t first = line.find_first_not_of(' ');
            line = pending + (first == std::string::npos ? "" : line.substr(first));
            pending.clear();
        }
        if (!line.empty() && line.back() == '\\' && line.front() != '[') {
            pending = line.substr(0, line.size() - 1);
            continue;
        }
        if (line.empty() || line.rfind("Windows Registry Editor", 0) == 0) continue;
        if (line.front() == '[') {
            key = line;
            skipping = skip && skip(key.substr(1, key.size() - 2));
            if (!skipping) lines.insert(key);
        } else if (!skipping) {
            lines.insert(key + " " + line);
        }
    }
    return lines;
}

inline std::string Difference(const RegistryLines& before, const RegistryLines& after) {
    std::string text;
    for (const std::string& line : after) {
        if (!before.count(line)) text += "  left behind: " + line + "\n";
    }
    for (const std::string& line : before) {
        if (!after.count(line)) text += "  removed: " + line + "\n";
    }
    return text;
}

inline bool WaitUntil(const std::function<bool()>& done, int seconds = 90) {
    for (int i = 0; i < seconds * 4; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return done();
}

// Runs the product's QuietUninstallString exactly as stored.
inline RunResult UninstallQuietly(const std::string& name) {
    std::optional<std::string> quiet = RegQueryValue(kUninstallKey + name, "QuietUninstallString");
    EXPECT_TRUE(quiet) << "no QuietUninstallString for " << name;
    if (!quiet) return {};
    std::string program = quiet->substr(1, quiet->find('"', 1) - 1);
    std::string arguments = quiet->substr(quiet->find('"', 1) + 2);
    EXPECT_EQ(arguments, "/silent /u:\"" + name + "\"");
    return RunProgram(ProbePath(), WithArguments({"run-line", program, arguments}));
}

// The probe's expansion of a variable text such as "%DesktopDir%".
inline std::string ExpandInPrefix(const std::string& text) {
    return RunProgram(ProbePath(), WithArguments({"expand", text})).stdoutText;
}

}  // namespace palisade::wine
