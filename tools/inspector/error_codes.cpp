// The checks behind the installer's corrupt-installer error codes, as the inspector reports them.
#include <map>

#include "inspector/installer_examination.h"

namespace palisade::tools {

std::string DescribeErrorCode(int code) {
    static const std::map<int, const char*> kChecks = {
        {9, "the .setup section's raw file position is 0"},
        {10, "the executable cannot be positioned at the .setup section"},
        {19, "StatusDelay exceeds 9999"},
        {20, "the payload magic is not 0xa4f23de5"},
        {22, "the settings block size is not within 1..0x31fffff (or the block runs past the section)"},
        {24, "the licence text count is negative or above 20"},
        {25, "the CRC-32 of the decompressed settings differs from the settings checksum"},
        {26, "the readme text count is negative or above 20"},
        {27, "the item count is negative"},
        {28, "an item size is negative or above 0x40000000"},
        {29, "the archive length is negative"},
        {30, "the language count of the message catalogue is 0 or above 200"},
        {31, "the message count of the message catalogue is below 1 or above 10000"},
        {32, "the end marker after the message catalogue is not 0xd3e82b97"},
        {35, "the head of the executable cannot be read"},
        {36, "the file association count is negative or above 1000"},
        {37, "the uninstall value count is negative or above 1000"},
        {38, "the file deletion list holds more than 1000 entries"},
        {39, "BitmapSize is not within 0..100"},
        {40, "integrity mode 1: the CRC-32 of the executable's head differs from the file checksum"},
        {41, "the applications-to-close list holds more than 1000 entries"},
        {43, "the PE header offset is not within 64..4096"},
        {44, "the section count is not within 4..99"},
        {45, "the payload length is negative"},
        {46, "the archive bytes available differ from the archive length"},
        {47, "the settings block cannot be decompressed"},
        {48, "the shortcut record count is negative or above 1000"},
        {55, "the CRC-32 of the archive differs from the archive checksum"},
        {60, "an archive chunk cannot be decompressed"},
        {61, "an archive chunk's stored size is not above 0"},
        {62, "an archive chunk's CRC-32 differs from its checksum"},
        {63, "an archive chunk is longer than the archive bytes left"},
        {70, "an item's name is empty"},
        {71, "an item's size entry is negative or its record ends early"},
        {72, "an item's data is above 0x40000000 bytes or runs past its record"},
        {80, "archive bytes are left over after the last item"},
        {100, "an item's data CRC-32 differs from its checksum"},
    };
    auto found = kChecks.find(code);
    return found != kChecks.end() ? found->second : "check of code " + std::to_string(code);
}

}  // namespace palisade::tools
