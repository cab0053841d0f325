// Shared fixtures of the payload container tests: a small PE stub, sample items,
// crafted payloads, and the installer's reading order from section to items.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "payload/file_entry.h"
#include "payload/item_stream_writer.h"
#include "payload/payload_header.h"
#include "payload/payload_writer.h"
#include "payload/settings.h"

namespace palisade::testing {

inline constexpr std::uint32_t kStubPeOffset = 0x80;
inline constexpr std::uint32_t kStubInitializedData = 0x800;
inline constexpr std::uint32_t kStubChecksum = 0x12345;
inline constexpr std::uint32_t kStubSectionTable = kStubPeOffset + 24 + 224;

struct StubShape {
    std::uint16_t sectionCount = 4;
    std::uint16_t optionalMagic = 0x10b;
    std::uint32_t headersSize = 0x400;
    bool signedStub = false;
    std::size_t trailingBytes = 0;  // overlay after the last section's data
};

// A small PE32 image: sections of 0x200 raw bytes from 0x400 on (the third
// one uninitialised, raw position 0), section alignment 0x1000, file alignment 0x200.
std::vector<std::uint8_t> MakeStub(const StubShape& shape = {});

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);
void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
std::uint16_t Get16(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t at);

// Items covering the optional fields: a shortcut name, an MSI level, empty data.
std::vector<PayloadItem> SampleItems();
// Incompressible data of `size` bytes, fixed by `seed`.
std::vector<std::uint8_t> NoiseBytes(std::size_t size, std::uint32_t seed);

// Settings the settings reader accepts (a one-language catalogue).
InstallerSettings MinimalSettings();

// A header for the given stored settings and archive (fields as the builder writes them).
PayloadHeader HeaderFor(std::size_t settingsSize, const std::vector<std::uint8_t>& archive,
                        std::vector<std::int32_t> itemSizes, std::uint32_t payloadFlags = 0);
// Header, settings bytes and archive joined into section data.
std::vector<std::uint8_t> JoinPayload(const PayloadHeader& header, const std::vector<std::uint8_t>& settings,
                                      const std::vector<std::uint8_t>& archive);

// One item record with its u32 length prefix, as it lies in the item stream.
std::vector<std::uint8_t> RecordWithLength(const PayloadItem& item);

// What the installer gets out of an executable, read in its order.
struct InstallerReading {
    int errorCode = 0;                       // the first numbered failure, else 0
    bool versionMismatch = false;
    std::optional<InstallerSettings> settings;
    std::vector<FileEntry> entries;          // data re-pointed into `entryData`
    std::vector<std::vector<std::uint8_t>> entryData;
    std::vector<int> progress;
    std::vector<std::uint8_t> strippedImage;  // when payload flag 0x20 is set
};
InstallerReading ReadInstaller(const std::vector<std::uint8_t>& image);

// Field-by-field comparison of an item as written and as read.
bool SameItem(const PayloadItem& item, const FileEntry& entry, std::string& difference);

}  // namespace palisade::testing
