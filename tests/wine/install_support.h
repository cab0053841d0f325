// Building small installers from test code and reading back what a silent
// installation left in the Wine prefix.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "payload/item_stream_writer.h"
#include "payload/settings.h"
#include "wine_harness.h"

namespace palisade::wine {

struct TestProduct {
    InstallerSettings settings;
    std::vector<PayloadItem> items;
    std::uint32_t payloadFlags = 0;
};

// A product that installs into "C:\Palisade Tests\<name>" with the English
// messages, an uninstaller (stripped image), a kept log and a line per file.
TestProduct MakeProduct(const std::string& name);

// One file item; `folder` is the destination override ("" or "sub\\").
PayloadItem FileItem(const std::string& name, const std::string& contents, const std::u16string& folder = u"");

// Writes the installer to a fresh file under the build folder and returns its path.
std::filesystem::path WriteInstaller(const TestProduct& product, const std::string& fileName);

// Runs an installer with /silent (plus `extra` arguments).
RunResult InstallSilently(const std::filesystem::path& installer, std::vector<std::string> extra = {});

// Seconds since 1970 of a UTC date and time.
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second);

std::string ReadHostFile(const std::filesystem::path& path);
void WriteHostFile(const std::filesystem::path& path, const std::string& contents);

// `name` with this test process's id: a name of its own for every run in the
// shared prefix.
std::string Unique(const std::string& name);

// The access list of a file or folder in SDDL notation, through the probe.
std::string AccessListOf(const std::string& path);

// Whether an entry of `path`'s access list lets Everyone write: full or
// generic rights, or a mask with the write-data bit. (Wine merges entries of
// one trustee, keeps no protection flag and lets no new file inherit, so the
// exact entries differ from Windows'; what everyone may do with the file
// itself does not.)
bool EveryoneMayWrite(const std::string& path);

// "C:\Palisade Tests\<name>" and its host path.
std::string InstallFolderOf(const std::string& name);

// The Install.log of a product installed with MakeProduct's settings.
std::string InstallLogOf(const std::string& name);

}  // namespace palisade::wine
