// The readers of the parts of a project file; project_reader.cpp puts them together.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "builder/project.h"
#include "common/flag_names.h"
#include "common/toml_reading.h"

namespace palisade::tools {

// Top-level keys of the plain settings (schema names and aliases), of the
// structured settings, and of the project's own tables.
std::vector<std::string> PlainSettingTopKeys();
std::vector<std::string> StructuredSettingKeys();

void ReadPlainSettings(TomlReader& reader, const toml::table& root, Project& project);
void ReadStructuredSettings(TomlReader& reader, const toml::table& root, Project& project);
void ReadSettingLists(TomlReader& reader, const toml::table& root, InstallerSettings& settings);
void ReadBuildOptions(TomlReader& reader, const toml::table& build, BuildOptions& options);
void ReadFileSpecs(TomlReader& reader, const toml::table& root, Project& project);
void ReadCrashReport(TomlReader& reader, const toml::table& table, VendorValues& values);

// A value that is a flag word: an integer, or an array of bit names and
// integers ("0x..." strings are taken too).
std::optional<std::uint32_t> ReadFlagWord(TomlReader& reader, const toml::node& node, FlagWord word,
                                          std::string_view key);

// The bytes of a file named relative to the project folder (recorded among
// the project's inputs); an error at `node`, saying why, when it cannot be read.
inline constexpr std::uint64_t kMaxSettingsFileSize = 64u << 20;
std::optional<std::vector<std::uint8_t>> ReadProjectFile(TomlReader& reader, Project& project,
                                                         const toml::node& node, const std::string& path);

// The names of a list value (for keys that take one name or several).
std::vector<std::string> FlagKeyNames(FlagWord word);

}  // namespace palisade::tools
