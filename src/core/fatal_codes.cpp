// The numbered internal errors and what each check found.
#include "core/fatal_codes.h"

#include <iterator>

namespace palisade {
namespace {

constexpr FatalCodeDescription kDescriptions[] = {
    {FatalCode::kSectionAtZero, "the .setup section's raw file position is 0"},
    {FatalCode::kSectionNotReachable, "the executable cannot be positioned at the .setup section"},
    {FatalCode::kStatusDelay, "StatusDelay exceeds 9999"},
    {FatalCode::kBadMagic, "the payload magic is not 0xa4f23de5"},
    {FatalCode::kSettingsSize, "the settings block size is not within 1..0x31fffff (or the block runs past the section)"},
    {FatalCode::kLicenceCount, "the licence text count is negative or above 20"},
    {FatalCode::kSettingsChecksum, "the CRC-32 of the decompressed settings differs from the settings checksum"},
    {FatalCode::kReadmeCount, "the readme text count is negative or above 20"},
    {FatalCode::kItemCount, "the item count is negative"},
    {FatalCode::kItemSize, "an item size is negative or above 0x40000000"},
    {FatalCode::kArchiveLength, "the archive length is negative"},
    {FatalCode::kLanguageCount, "the language count of the message catalogue is 0 or above 200"},
    {FatalCode::kMessageCount, "the message count of the message catalogue is below 1 or above 10000"},
    {FatalCode::kEndMarker, "the end marker after the message catalogue is not 0xd3e82b97"},
    {FatalCode::kHeadUnreadable, "the head of the executable cannot be read"},
    {FatalCode::kAssociationCount, "the file association count is negative or above 1000"},
    {FatalCode::kUninstallValueCount, "the uninstall value count is negative or above 1000"},
    {FatalCode::kDeletionListLength, "the file deletion list holds more than 1000 entries"},
    {FatalCode::kBitmapSize, "BitmapSize is not within 0..100"},
    {FatalCode::kIntegrityChecksum, "integrity mode 1: the CRC-32 of the executable's head differs from the file checksum"},
    {FatalCode::kAutoCloseListLength, "the applications-to-close list holds more than 1000 entries"},
    {FatalCode::kTailUnreadable, "the part of the executable after the .setup section cannot be read"},
    {FatalCode::kPeHeaderOffset, "the PE header offset is not within 64..4096"},
    {FatalCode::kSectionCount, "the section count is not within 4..99"},
    {FatalCode::kPayloadLength, "the payload length is negative"},
    {FatalCode::kArchiveAvailable, "the archive bytes available differ from the archive length"},
    {FatalCode::kSettingsNotDecompressed, "the settings block cannot be decompressed"},
    {FatalCode::kShortcutCount, "the shortcut record count is negative or above 1000"},
    {FatalCode::kArchiveChecksum, "the CRC-32 of the archive differs from the archive checksum"},
    {FatalCode::kChunkNotDecompressed, "an archive chunk cannot be decompressed"},
    {FatalCode::kChunkSize, "an archive chunk's stored size is not above 0"},
    {FatalCode::kChunkChecksum, "an archive chunk's CRC-32 differs from its checksum"},
    {FatalCode::kChunkBeyondArchive, "an archive chunk is longer than the archive bytes left"},
    {FatalCode::kDeletionDate, "a conditional deletion's reference date cannot be read"},
    {FatalCode::kItemNameEmpty, "an item's name is empty"},
    {FatalCode::kItemSizeEntry, "an item's size entry is negative or its record ends early"},
    {FatalCode::kItemDataSize, "an item's data is above 0x40000000 bytes or runs past its record"},
    {FatalCode::kAppletWithoutName, "a control panel applet has no name"},
    {FatalCode::kAppletWithoutClassId, "a control panel applet has no class identifier"},
    {FatalCode::kArchiveLeftOver, "archive bytes are left over after the last item"},
    {FatalCode::kFirewallRules, "a firewall rule line is malformed"},
    {FatalCode::kItemChecksum, "an item's data CRC-32 differs from its checksum"},
    {FatalCode::kItemKind, "an item's kind is not one the installer knows"},
    {FatalCode::kUninstallValueType, "an author's uninstall value has a type the installer does not write"},
};

}  // namespace

const FatalCodeDescription* DescribeFatalCode(int code) {
    for (const FatalCodeDescription& description : kDescriptions) {
        if (description.code == code) return &description;
    }
    return nullptr;
}

}  // namespace palisade
