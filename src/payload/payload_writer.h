// The builder's side of the payload: archive chunks, settings block and header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "payload/item_stream_writer.h"
#include "payload/payload_header.h"
#include "payload/xz_codec.h"

namespace palisade {

inline constexpr std::size_t kDefaultChunkSize = 1 << 20;
// The largest chunk the builder chooses by itself. The installer decodes a
// chunk as it installs it, holding only the decoder's dictionary (at most
// kMaxXzDictionary) whatever the chunk's size, so the bound is set by
// compression: a chunk starts with an empty dictionary, and larger chunks
// restart it less often. A ciphered chunk is the exception: the installer
// holds it once, as stored, so ciphered chunks stay at the dictionary's size.
inline constexpr std::size_t kMaxAutomaticChunkSize = 64u << 20;
inline constexpr std::size_t kMaxAutomaticCipheredChunkSize = kMaxXzDictionary;

// The chunk size for an item stream of `streamLength` bytes: the whole
// stream in one chunk up to the bound, else chunks of the bound's size.
// (Measured on Wine's DLLs, full chunks compress better than the same stream
// cut into equal smaller ones: docs/builder.md, "Chunk size".)
std::size_t AutomaticChunkSize(std::size_t streamLength, bool ciphered);
// Offset of the file checksum (header field 6) from the payload start.
inline constexpr std::size_t kFileChecksumFieldOffset = 4 + sizeof(kBuilderVersion) + 3 * 4;

struct PayloadOptions {
    std::uint32_t payloadFlags = 0;  // bit 0x1000: cipher everything under `payloadKey`
    std::array<std::uint8_t, kPayloadKeySize> payloadKey{};
    std::size_t chunkSize = kDefaultChunkSize;  // of the item stream, before compression
    std::uint32_t xzPreset = 6;
    bool tryBranchFilter = false;  // compress every chunk with and without the x86 filter, keep the smaller
    unsigned threadCount = 0;  // for chunk compression; 0: one per core
};

struct EncodedArchive {
    std::vector<std::uint8_t> bytes;       // the `ArchiveData`
    std::vector<std::int32_t> itemSizes;  // the `ItemSizeTable`
    std::size_t chunkCount = 0;
};

struct ArchiveBuild {
    EncodedArchive archive;
    std::string error;  // empty on success
};

// Item records cut into chunks, each compressed (when `compressChunks`, the
// settings' `SettingsFlags1` bit 0x20) and ciphered (payload flag 0x1000),
// chunks kept in order whatever thread encoded them.
ArchiveBuild EncodeArchive(const std::vector<PayloadItem>& items, bool compressChunks, const PayloadOptions& options);

// One stored chunk: its size, checksum and bytes, appended to `archive`.
void AppendStoredChunk(std::vector<std::uint8_t>& archive, const std::vector<std::uint8_t>& stored);

struct EncodedSettings {
    std::vector<std::uint8_t> stored;  // the `SettingsBlock` as stored
    std::uint32_t checksum = 0;        // CRC-32 of the plain block
    std::string error;
};

// Compresses the plain settings block, then masks it with its checksum or
// ciphers it (payload flag 0x1000).
EncodedSettings EncodeSettingsBlock(const std::vector<std::uint8_t>& plain, const PayloadOptions& options);

// Fields 1 to 12 as the reader expects them (the key only when ciphered).
std::vector<std::uint8_t> WritePayloadHeader(const PayloadHeader& header);
// Their length for a payload of `itemCount` items.
std::size_t PayloadHeaderLength(std::size_t itemCount, bool ciphered);

struct BuiltPayload {
    std::vector<std::uint8_t> headerAndSettings;  // fields 1 to 13
    std::vector<std::uint8_t> archive;            // field 14
    bool archiveInFile = false;  // the archive follows the section in the file
    bool storeFileChecksum = false;  // integrity mode 1: field 6 is filled in once the head is laid out
    std::vector<std::uint8_t> carriedUninstaller;  // the record right after the archive (uninstaller_image.h); may be empty
};

struct PayloadBuild {
    BuiltPayload payload;
    std::string error;
};

// The header for the settings and archive, and the payload around them. The
// payload length covers the archive only when it lies in the section.
PayloadBuild AssemblePayload(const EncodedSettings& settings, EncodedArchive archive, bool archiveInFile,
                             bool storeFileChecksum, const PayloadOptions& options);

}  // namespace palisade
