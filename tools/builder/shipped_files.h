// Where the builder finds what ships with it: the installer stub and the translations.
#pragma once

#include <filesystem>

namespace palisade::tools {

struct ShippedFiles {
    std::filesystem::path stub;       // the installer stub
    std::filesystem::path languages;  // the folder of the shipped translations, one <code>.toml each
};

// For a builder at `executable`: an installed one (PREFIX/bin/palisade) takes
// each file from PREFIX/share/palisade when it is there; anything not found
// there is taken from `configured`.
ShippedFiles ShippedFilesFor(const std::filesystem::path& executable, const ShippedFiles& configured);

// The files of this builder: ShippedFilesFor the running executable, with the
// stub and the source tree's tools/languages it was configured with.
const ShippedFiles& FindShippedFiles();

}  // namespace palisade::tools
