// Reads a compiled resource file (.res, as windres writes it) into its
// entries, and compiles the stub's resource script into one, for the tests
// that compare the resources with what the program expects of them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "payload/little_endian.h"
#include "ui/dialog_template.h"

namespace palisade::test {

struct ResourceEntry {
    TemplateName type;
    TemplateName name;
    std::vector<std::uint8_t> data;
};

// Entry layout: u32 data size, u32 header size, type, name (each an ordinal
// 0xFFFF nnnn or a NUL-terminated UTF-16 text), padding to 4, then u32 data
// version, u16 memory flags, u16 language, u32 version, u32 characteristics;
// then the data, padded to 4.
inline std::optional<std::vector<ResourceEntry>> ReadResourceFile(const std::vector<std::uint8_t>& file) {
    std::vector<ResourceEntry> entries;
    std::size_t at = 0;
    auto readName = [&](std::size_t& p, std::size_t end) -> std::optional<TemplateName> {
        TemplateName name;
        if (p + 2 > end) return std::nullopt;
        if (LoadU16(&file[p]) == 0xFFFF) {
            if (p + 4 > end) return std::nullopt;
            name.kind = TemplateName::Kind::Ordinal;
            name.ordinal = LoadU16(&file[p + 2]);
            p += 4;
            return name;
        }
        name.kind = TemplateName::Kind::Text;
        for (; p + 2 <= end; p += 2) {
            char16_t unit = char16_t(LoadU16(&file[p]));
            if (unit == 0) {
                p += 2;
                return name;
            }
            name.text.push_back(unit);
        }
        return std::nullopt;
    };
    while (at + 8 <= file.size()) {
        std::uint32_t dataSize = LoadU32(&file[at]);
        std::uint32_t headerSize = LoadU32(&file[at + 4]);
        std::size_t headerEnd = at + headerSize;
        if (headerSize < 8 || headerEnd > file.size() || dataSize > file.size() - headerEnd) return std::nullopt;
        std::size_t p = at + 8;
        std::optional<TemplateName> type = readName(p, headerEnd);
        std::optional<TemplateName> name = type ? readName(p, headerEnd) : std::nullopt;
        if (!name) return std::nullopt;
        entries.push_back({*type, *name, {file.begin() + long(headerEnd), file.begin() + long(headerEnd + dataSize)}});
        at = (headerEnd + dataSize + 3) & ~std::size_t(3);
    }
    return entries;
}

// The stub's resources compiled by the cross toolchain's windres; nothing
// when the tool is not installed or fails.
inline std::optional<std::vector<std::uint8_t>> CompileStubResources() {
    const std::string windres = "i686-w64-mingw32-windres";
    if (std::system(("command -v " + windres + " >/dev/null 2>&1").c_str()) != 0) return std::nullopt;
    const std::string folder = std::string(PALISADE_SOURCE_DIR) + "/src/ui/resources";
    const std::string out = testing::TempDir() + "stub_resources_" + std::to_string(getpid()) + ".res";
    const std::string command = windres + " -I '" + folder + "' -i '" + folder + "/palisade.rc' -O res -o '" + out + "'";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    std::ifstream in(out, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(out.c_str());
    return bytes;
}

}  // namespace palisade::test
