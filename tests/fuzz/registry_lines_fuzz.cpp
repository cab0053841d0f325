// libFuzzer target: the registry entries text reader on arbitrary UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "actions/registry_entry_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += char16_t(data[i] | (data[i + 1] << 8));
    for (const std::u16string& lineText : palisade::SplitEntryLines(text)) {
        if (lineText.find_first_of(u"\r\n") != std::u16string::npos) std::abort();
        palisade::RegistryEntryLine line = palisade::ParseEntryLine(lineText);
        if (line.kind != palisade::RegistryLineKind::Value) continue;
        if (!palisade::OperationWrites(line.operation)) continue;
        std::vector<std::uint8_t> bytes = palisade::EntryValueBytes(line, lineText);
        // A legal writing line always has a known type, and numbers have their width.
        if (line.type == palisade::kRegDword && bytes.size() != 4) std::abort();
        if (line.type == palisade::kRegQword && bytes.size() != 8) std::abort();
        if ((line.type == palisade::kRegSz || line.type == palisade::kRegExpandSz) && bytes.size() % 2 != 0) std::abort();
        if (line.type == palisade::kRegBinary && bytes != line.binary) std::abort();
    }
    return 0;
}
