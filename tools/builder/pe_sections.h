// The section table of a PE32 image as the builder's own tools need it:
// mapping virtual addresses to file offsets, and adding a section at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/byte_view.h"
#include "payload/pe_appender.h"

namespace palisade::tools {

struct PeSection {
    std::uint32_t virtualAddress = 0;
    std::uint32_t virtualSize = 0;
    std::uint32_t rawPosition = 0;
    std::uint32_t rawSize = 0;
};

struct PeSections {
    std::uint32_t peHeaderOffset = 0;
    std::vector<PeSection> sections;
    std::uint32_t resourceDirectoryRva = 0;   // data directory 2
    std::uint32_t resourceDirectorySize = 0;
};

// Nothing when `image` is no PE32 image or its section table is cut short.
std::optional<PeSections> ReadPeSections(ByteView image);

// The section whose memory holds `rva`; nothing when none does.
const PeSection* SectionHolding(const PeSections& sections, std::uint32_t rva);

// The file offset of `length` bytes at `rva`, when they lie in one section's raw data.
std::optional<std::size_t> RvaToFileOffset(const PeSections& sections, std::uint32_t rva, std::uint32_t length);

struct AppendedSection {
    std::string name;  // at most 8 characters
    std::vector<std::uint8_t> data;
    std::uint32_t characteristics = 0;
};

// Adds `section` as the image's last section: raw data at the end of the
// (file-aligned) image, virtual address `layout.nextVirtualAddress`; section
// count, image size and initialised-data size raised, PE checksum cleared.
// `layout` is InspectStub's for `image`. An error text when it cannot.
std::string AppendSection(std::vector<std::uint8_t>& image, const StubLayout& layout, const AppendedSection& section);

}  // namespace palisade::tools
