// libFuzzer target: the settings reader on arbitrary blocks, with the checksum test passing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "payload/crc32.h"
#include "payload/settings_schema.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> block(data, data + size);
    // The block's own CRC, so that the reader goes past the checksum test and
    // every later field is reached; a wrong checksum would stop it at row 6.
    palisade::SettingsResult result = palisade::ReadSettings(block, palisade::Crc32(block));
    if (result.settings.has_value() == (result.errorCode != 0)) std::abort();
    if (result.settings) {
        // What was read must survive a write and a second read unchanged, unless
        // the writer reports a value it cannot store as read (a wide text with an
        // odd byte that decodes to a list's end word, for example).
        palisade::SettingsWriteResult written = palisade::WriteSettingsChecked(*result.settings);
        if (!written.problems.empty()) return 0;
        const std::vector<std::uint8_t>& again = written.block;
        palisade::SettingsResult reread = palisade::ReadSettings(again, palisade::Crc32(again));
        if (!reread.settings || !(*reread.settings == *result.settings)) std::abort();
    }
    return 0;
}
