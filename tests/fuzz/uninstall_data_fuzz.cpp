// libFuzzer target: the Uninstall.DAT reader, the record readers and the
// uninstaller icon reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "system/auto_close.h"
#include "uninstall/conditional_delete.h"
#include "uninstall/icon_resources.h"
#include "uninstall/removal_rules.h"
#include "uninstall/shared_release.h"
#include "uninstall/uninstall_data_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    palisade::UninstallDataContents contents = palisade::ParseUninstallData(bytes);
    for (const auto& [number, text] : contents.strings) {
        if (number < 1 || number > 999) std::abort();
    }
    for (const palisade::UninstallLine& line : contents.items) {
        (void)palisade::IsRemovablePath(line.path);
        (void)palisade::ParentFolder(line.path);
    }
    for (const std::string& line : contents.associations) (void)palisade::ParseAssociationRecord(line);
    for (const std::string& line : contents.msi) (void)palisade::ParseMsiRecord(line);
    for (const std::string& line : contents.conditionalDelete) {
        if (auto deletion = palisade::ParseConditionalDeleteLine(line)) (void)palisade::ParseDeletionDate(deletion->reference);
    }
    for (const std::string& line : contents.autoClose) (void)palisade::ParseAutoCloseLine(line);
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < size; i += 2) wide += char16_t(data[i] | (data[i + 1] << 8));
    (void)palisade::ParseSharedFilesRecord(wide);
    (void)palisade::ParseProductFonts(wide);
    (void)palisade::ParseProductFlags(wide);
    if (auto images = palisade::ParseIconFile(palisade::ByteView(data, size))) {
        unsigned sum = 0;
        for (const palisade::IconImage& image : *images) sum += image.bytes[0] + image.bytes[image.bytes.size - 1];
        if (palisade::IconGroupDirectory(*images, 1).size() != 6 + 14 * images->size()) std::abort();
        (void)sum;
    }
    return 0;
}
