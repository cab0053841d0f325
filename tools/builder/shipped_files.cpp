// Where the builder finds what ships with it: the installer stub and the translations.
#include "builder/shipped_files.h"

namespace palisade::tools {

namespace {

// The file name of the stub in share/palisade, as `cmake --install` puts it.
constexpr char kStubName[] = "palisade-setup.exe";

}  // namespace

ShippedFiles ShippedFilesFor(const std::filesystem::path& executable, const ShippedFiles& configured) {
    std::error_code error;
    std::filesystem::path share = executable.parent_path().parent_path() / "share" / "palisade";
    ShippedFiles files = configured;
    if (std::filesystem::is_regular_file(share / kStubName, error)) files.stub = share / kStubName;
    if (std::filesystem::is_directory(share / "languages", error)) files.languages = share / "languages";
    return files;
}

const ShippedFiles& FindShippedFiles() {
    static const ShippedFiles files = [] {
        std::error_code error;
        std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
        ShippedFiles configured{PALISADE_DEFAULT_STUB, PALISADE_LANGUAGES_DIR};
        return error ? configured : ShippedFilesFor(executable, configured);
    }();
    return files;
}

}  // namespace palisade::tools
