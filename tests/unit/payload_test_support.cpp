// Shared fixtures of the payload container tests: a small PE stub, sample items,
// crafted payloads, and the installer's reading order from section to items.
#include "payload_test_support.h"

#include <algorithm>
#include <cstring>

#include "core/byte_source.h"
#include "payload/archive.h"
#include "payload/crc32.h"
#include "payload/item_walker.h"
#include "payload/little_endian.h"
#include "payload/payload_decoder.h"
#include "payload/section_locator.h"
#include "payload/settings_schema.h"
#include "payload/stripped_installer.h"

namespace palisade::testing {

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = std::uint8_t(value);
    bytes[at + 1] = std::uint8_t(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = std::uint8_t(value >> (8 * i));
}

std::uint16_t Get16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint16_t(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

std::vector<std::uint8_t> MakeStub(const StubShape& shape) {
    constexpr std::uint32_t pe = kStubPeOffset;
    std::size_t headerArea = (std::max<std::size_t>(0x400, shape.headersSize) + 0x1FF) / 0x200 * 0x200;
    std::vector<std::uint8_t> image(headerArea, 0);
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 60, pe);
    std::memcpy(&image[pe], "PE\0\0", 4);
    Put16(image, pe + 4, 0x14c);
    Put16(image, pe + 6, shape.sectionCount);
    Put16(image, pe + 20, 224);
    Put16(image, pe + 22, 0x0102);
    Put16(image, pe + 24, shape.optionalMagic);
    Put32(image, pe + 32, kStubInitializedData);
    Put32(image, pe + 40, 0x1000);
    Put32(image, pe + 52, 0x400000);
    Put32(image, pe + 56, 0x1000);
    Put32(image, pe + 60, 0x200);
    Put32(image, pe + 80, 0x1000u * (shape.sectionCount + 1));
    Put32(image, pe + 84, shape.headersSize);
    Put32(image, pe + 88, kStubChecksum);
    Put16(image, pe + 92, 2);
    Put32(image, pe + 116, 16);
    for (std::uint16_t i = 0; i < shape.sectionCount; ++i) {
        std::size_t entry = kStubSectionTable + i * 40u;
        std::string name = ".sec" + std::to_string(i);
        std::memcpy(&image[entry], name.data(), name.size());
        Put32(image, entry + 8, 0x180);
        Put32(image, entry + 12, 0x1000u * (i + 1));
        if (i == 2) continue;  // uninitialised: no raw data
        Put32(image, entry + 16, 0x200);
        Put32(image, entry + 20, std::uint32_t(image.size()));
        image.resize(image.size() + 0x200, std::uint8_t(0x10 + i));
    }
    if (shape.signedStub) {
        Put32(image, pe + 152, std::uint32_t(image.size()));
        Put32(image, pe + 156, 0x100);
    }
    image.resize(image.size() + shape.trailingBytes, 0xEE);
    return image;
}

std::vector<std::uint8_t> NoiseBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = std::uint8_t(state >> 24);
    }
    return bytes;
}

std::vector<PayloadItem> SampleItems() {
    std::vector<PayloadItem> items(4);
    items[0].name = "readme.txt";
    items[0].timeStamp = {2024, 2, 29, 23, 59, 58};
    items[0].info = "1.0";
    items[0].data.assign({'H', 'e', 'l', 'l', 'o'});
    items[1].name = "|\xc3\xa9t\xc3\xa9.exe";
    items[1].kind = EntryKind::ShortcutFile;
    items[1].flags = 0x01 | 0x10 | 0x20;
    items[1].attributes = 0x20;
    items[1].shortcutName = u"\u00c9t\u00e9 shortcut";
    items[1].arguments = "/quiet";
    items[1].destinationOverride = u"%InstallDir%\\bin\\";
    items[1].extra = "%InstallDir%";
    items[1].data = NoiseBytes(3000, 1);
    items[2].name = "empty.dat";
    items[2].kind = EntryKind::SharedFile;
    items[3].name = "package.msi";
    items[3].kind = EntryKind::MsiPackage;
    items[3].flags = 0x80 | 0x0c;
    items[3].msiUiLevel = 5;
    items[3].data.assign(700, 'm');
    return items;
}

InstallerSettings MinimalSettings() {
    InstallerSettings settings;
    settings.displayName = u"Test Product";
    settings.messageCatalogue = MessageCatalogue({u"English"}, 70);
    return settings;
}

PayloadHeader HeaderFor(std::size_t settingsSize, const std::vector<std::uint8_t>& archive,
                        std::vector<std::int32_t> itemSizes, std::uint32_t payloadFlags) {
    PayloadHeader header;
    header.magic = kPayloadMagic;
    header.builderVersion = kBuilderVersion;
    header.payloadFlags = payloadFlags;
    header.settingsSize = std::int32_t(settingsSize);
    header.itemCount = std::int32_t(itemSizes.size());
    header.archiveLength = std::int32_t(archive.size());
    header.archiveChecksum = Crc32(archive);
    header.itemSizes = std::move(itemSizes);
    if (header.IsCiphered()) header.payloadKey = std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8};
    header.payloadLength = std::int32_t(WritePayloadHeader(header).size() + settingsSize + archive.size());
    return header;
}

std::vector<std::uint8_t> JoinPayload(const PayloadHeader& header, const std::vector<std::uint8_t>& settings,
                                      const std::vector<std::uint8_t>& archive) {
    std::vector<std::uint8_t> payload = WritePayloadHeader(header);
    payload.insert(payload.end(), settings.begin(), settings.end());
    payload.insert(payload.end(), archive.begin(), archive.end());
    return payload;
}

std::vector<std::uint8_t> RecordWithLength(const PayloadItem& item) {
    std::vector<std::uint8_t> fields = EncodeItemFields(item);
    std::vector<std::uint8_t> record;
    AppendU32(record, std::uint32_t(fields.size() + item.data.size() + 4));
    record.insert(record.end(), fields.begin(), fields.end());
    record.insert(record.end(), item.data.begin(), item.data.end());
    AppendU32(record, Crc32(item.data));
    return record;
}

bool SameItem(const PayloadItem& item, const FileEntry& entry, std::string& difference) {
    bool hasShortcut = (item.flags & 3) != 0;
    bool isMsi = item.kind == EntryKind::MsiPackage;
    std::vector<std::uint8_t> data(entry.data.begin(), entry.data.end());
    if (entry.name != item.name) difference = "name";
    else if (entry.kind != item.kind || entry.flags != item.flags || entry.attributes != item.attributes) difference = "numbers";
    else if (!(entry.timeStamp == item.timeStamp)) difference = "time stamp";
    else if (entry.info != item.info || entry.arguments != item.arguments || entry.extra != item.extra) difference = "texts";
    else if (entry.destinationOverride != item.destinationOverride) difference = "destination";
    else if (entry.shortcutName != (hasShortcut ? std::optional(item.shortcutName) : std::nullopt)) difference = "shortcut";
    else if (entry.msiUiLevel != (isMsi ? std::optional(item.msiUiLevel) : std::nullopt)) difference = "msi level";
    else if (data != item.data) difference = "data";
    else return true;
    return false;
}

}  // namespace palisade::testing
