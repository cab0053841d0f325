// The resource tree of a PE32 image, read and written without the system's
// resource updater: the builder puts the uninstaller icon into the
// uninstaller image before that image is signed, and reads the version
// resource of the files whose version the installer compares.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_view.h"

namespace palisade::tools {

inline constexpr std::uint16_t kResourceIcon = 3;        // RT_ICON
inline constexpr std::uint16_t kResourceVersion = 16;    // RT_VERSION
inline constexpr std::uint16_t kResourceIconGroup = 14;  // RT_GROUP_ICON

// A type or resource name: a number, or a name (UTF-16, as stored).
struct ResourceId {
    std::u16string name;  // empty: numbered
    std::uint16_t id = 0;

    bool IsNamed() const { return !name.empty(); }
};

// One leaf of the tree (type, name, language) with its data.
struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::vector<std::uint8_t> data;
};

struct ResourceRead {
    std::vector<Resource> resources;  // in the tree's order
    std::string error;                // why the tree cannot be read; empty also when there is none
};

// The resources of a PE32 image (none when it has no resource directory).
ResourceRead ReadResources(ByteView image);

// The section that holds `resources` when it is placed at `sectionRva`:
// directories (named entries first, by upper-cased name, then numbers in
// ascending order), names, data entries and the data, each piece aligned.
std::vector<std::uint8_t> WriteResourceSection(const std::vector<Resource>& resources, std::uint32_t sectionRva);

// Puts the pictures of an icon file in place of the numbered icon pictures
// and groups, as the installer's own icon replacement does: pictures
// numbered from 1 under the first group's language, one group under the
// first group's number (1, language neutral, when there was none). An error
// text when the icon file cannot be read.
std::string ReplaceIcons(std::vector<Resource>& resources, ByteView iconFile);

// Moves the image's resources into a new last section `.rsrc2` holding
// `resources` and points the resource directory at it (the old section's
// bytes stay, unused). An error text when the image cannot take a section.
std::string ReplaceResourceSection(std::vector<std::uint8_t>& image, const std::vector<Resource>& resources);

// The "FileVersion" text of the image's version resource as the installer
// reads an installed file's version: the string table of the resource's own
// translations first, then 040904B0, 040904E4, 000004B0, 000004E4; commas
// become periods, surrounding blanks go. Nothing without one.
std::optional<std::string> ReadFileVersionText(ByteView image);

}  // namespace palisade::tools
